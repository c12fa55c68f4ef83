#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <locale>
#include <sstream>
#include <string>

// Number handling for the points, independent of the user's locale: the lists
// always show "." as the decimal point, whatever the C locale says.
namespace game {

// The general decimal form of a single-precision number: at most 7 significant
// digits, no leading blank, no trailing zeros ("250", "166.6667", "83.33334").
// A float widens to double exactly, so it reads the same either way; the lists
// show the value read back from this text in the same form.
inline std::string FormatSingle(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
    return std::string(buffer, result.ptr);
}

// The number a text of FormatSingle stands for, whatever the C locale says.
// (std::from_chars would do, but not every standard library has it for double:
// LLVM 19's libc++, which builds the browser version, has none.)
inline double ReadNumber(const std::string &text)
{
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    double value = 0.0;
    stream >> value;
    return value;
}

// Rounds to the nearest whole number, ties to even (2.5 gives 2, 3.5 gives 4).
inline long RoundEven(double value)
{
    return std::lrint(value);
}

// The program's random numbers: a uniform sequence in [0, 1), single precision,
// never seeded from the clock, so that every run draws the same values. A 24-bit
// linear congruential generator.
class RandomSequence
{
public:
    float Next()
    {
        m_state = (m_state * 1140671485u + 12820163u) & 0xFFFFFFu;
        return float(m_state) / float(1u << 24);
    }

private:
    std::uint32_t m_state = 327680;
};

} // namespace game
