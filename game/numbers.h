#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <locale>
#include <sstream>
#include <string>
#include <string_view>

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
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, 7);
    return std::string(buffer, result.ptr);
}

// The longest start of `text` written as a decimal number: an optional minus,
// digits with at most one decimal point (at least one digit), and an exponent
// when digits follow its "e" ("-12.5e3"). Empty when the text starts otherwise.
inline std::string_view LeadingNumber(std::string_view text)
{
    const auto digitsFrom = [text](size_t from) {
        while (from < text.size() && text[from] >= '0' && text[from] <= '9') {
            ++from;
        }
        return from;
    };
    size_t end = !text.empty() && text[0] == '-' ? 1 : 0;
    const size_t wholeEnd = digitsFrom(end);
    size_t digits = wholeEnd - end;
    end = wholeEnd;
    if (end < text.size() && text[end] == '.') {
        const size_t fractionEnd = digitsFrom(end + 1);
        digits += fractionEnd - end - 1;
        end = fractionEnd;
    }
    if (digits == 0) {
        return {};
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const size_t exponentEnd = digitsFrom(exponent);
        if (exponentEnd > exponent) {
            end = exponentEnd;
        }
    }
    return text.substr(0, end);
}

// The decimal number at the start of `text` ("12.5abc" gives 12.5); 0 when the
// text does not start with one or it is out of range.
// std::from_chars would do, but not every standard library has it for double
// (LLVM 19's libc++, which builds the browser version, has none); a stream
// imbued with the classic locale reads "." whatever the C locale says, but
// takes the whole text as the number, so it is given only the number.
inline double ReadNumber(std::string_view text)
{
    const std::string_view number = LeadingNumber(text);
    if (number.empty()) {
        return 0.0;
    }
    std::istringstream stream{std::string(number)};
    stream.imbue(std::locale::classic());
    double value = 0.0;
    stream >> value;
    if (stream.fail() || !std::isfinite(value)) {
        return 0.0;
    }
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
