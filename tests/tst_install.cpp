// Installs the build into a fresh prefix with `cmake --install`, as a packager
// would, and checks what a desktop then finds there: the program, the desktop
// entry, the icon in the hicolor theme, the AppStream data and the licence, and
// that the freedesktop validators accept the entry and the metadata.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString AppId = QStringLiteral("org.example.DragonValley");

// The [Desktop Entry] group of a desktop file as key=value pairs; keys keep
// their locale suffix ("Name[bg]").
QMap<QString, QString> readDesktopEntry(const QString &path)
{
    QMap<QString, QString> entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return entry;
    }
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1String("[Desktop Entry]");
        } else if (inGroup && line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('#'))) {
            const qsizetype at = line.indexOf(QLatin1Char('='));
            entry.insert(line.left(at).trimmed(), line.mid(at + 1).trimmed());
        }
    }
    return entry;
}

struct ToolResult
{
    int exitCode = -1;
    QString output;
};

ToolResult runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

} // namespace

class tst_Install : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void installedFiles_data();
    void installedFiles();
    void desktopEntry_data();
    void desktopEntry();
    void desktopEntryComments();
    void icon();
    void metainfo_data();
    void metainfo();
    void keywords_data();
    void keywords();
    void validators_data();
    void validators();
    void installedProgramStarts();
    void ignoresLibrariesInWorkingDirectory_data();
    void ignoresLibrariesInWorkingDirectory();

private:
    QString installed(const QString &relative) const { return m_prefix.filePath(relative); }

    QTemporaryDir m_prefix;
};

void tst_Install::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    const ToolResult result = runTool(QStringLiteral(DV_CMAKE_COMMAND),
                                      {QStringLiteral("--install"), QStringLiteral(DV_BUILD_DIR),
                                       QStringLiteral("--prefix"), m_prefix.path()});
    QVERIFY2(result.exitCode == 0, qPrintable(result.output));
}

void tst_Install::installedFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");

    QTest::newRow("program") << QStringLiteral("bin/dragon-valley") << true;
    QTest::newRow("desktop entry") << QStringLiteral("share/applications/%1.desktop").arg(AppId) << false;
    QTest::newRow("AppStream data") << QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId) << false;
    QTest::newRow("32x32 icon") << QStringLiteral("share/icons/hicolor/32x32/apps/%1.png").arg(AppId) << false;
    QTest::newRow("scalable icon") << QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(AppId) << false;
    QTest::newRow("manual page") << QStringLiteral("share/man/man1/dragon-valley.1.gz") << false;
    QTest::newRow("copyright") << QStringLiteral("share/doc/dragon-valley/copyright") << false;
}

void tst_Install::installedFiles()
{
    QFETCH(QString, path);
    QFETCH(bool, executable);
    const QFileInfo info(installed(path));
    QVERIFY2(info.isFile(), qPrintable(path));
    QVERIFY(info.size() > 0);
    QCOMPARE(info.isExecutable(), executable);
}

void tst_Install::desktopEntry_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("type") << QStringLiteral("Type") << QStringLiteral("Application");
    QTest::newRow("English name") << QStringLiteral("Name") << QStringLiteral("Dragon Valley");
    QTest::newRow("Bulgarian name") << QStringLiteral("Name[bg]") << QStringLiteral("Долината на дракона");
    QTest::newRow("runs the installed program") << QStringLiteral("Exec") << QStringLiteral("dragon-valley");
    QTest::newRow("icon by the application id") << QStringLiteral("Icon") << AppId;
    QTest::newRow("education, mathematics") << QStringLiteral("Categories") << QStringLiteral("Education;Math;");
    QTest::newRow("no terminal") << QStringLiteral("Terminal") << QStringLiteral("false");
}

void tst_Install::desktopEntry()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    const auto entry = readDesktopEntry(installed(QStringLiteral("share/applications/%1.desktop").arg(AppId)));
    QVERIFY(!entry.isEmpty());
    QCOMPARE(entry.value(key), value);
}

// A launcher shows the comment as a tooltip: an English one, and a Bulgarian one
// in Cyrillic for a Bulgarian desktop.
void tst_Install::desktopEntryComments()
{
    const auto entry = readDesktopEntry(installed(QStringLiteral("share/applications/%1.desktop").arg(AppId)));
    QVERIFY(!entry.value(QStringLiteral("Comment")).isEmpty());
    const QString bulgarian = entry.value(QStringLiteral("Comment[bg]"));
    QVERIFY(!bulgarian.isEmpty());
    QCOMPARE(bulgarian.front().script(), QChar::Script_Cyrillic);
}

void tst_Install::icon()
{
    const QImage png(installed(QStringLiteral("share/icons/hicolor/32x32/apps/%1.png").arg(AppId)));
    QCOMPARE(png.size(), QSize(32, 32));
    QVERIFY(png.hasAlphaChannel());

    QFile svg(installed(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(AppId)));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    QVERIFY(xml.readNextStartElement());
    QCOMPARE(xml.name(), QStringLiteral("svg"));
}

void tst_Install::metainfo_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("text"); // the element's text, or its attribute for release

    QTest::newRow("id matches the desktop entry") << QStringLiteral("id") << AppId;
    QTest::newRow("launches the desktop entry") << QStringLiteral("launchable") << AppId + QStringLiteral(".desktop");
    QTest::newRow("metadata licence") << QStringLiteral("metadata_license") << QStringLiteral("CC0-1.0");
    QTest::newRow("project licence") << QStringLiteral("project_license") << QStringLiteral("MIT");
    QTest::newRow("English name") << QStringLiteral("name") << QStringLiteral("Dragon Valley");
    QTest::newRow("release 1.0.0") << QStringLiteral("release") << QStringLiteral("1.0.0");
    QTest::newRow("runs the installed program") << QStringLiteral("binary") << QStringLiteral("dragon-valley");
}

void tst_Install::metainfo()
{
    QFETCH(QString, element);
    QFETCH(QString, text);
    QFile file(installed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId)));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList found;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != element
            || !xml.attributes().value(QStringLiteral("xml:lang")).isEmpty()) {
            continue;
        }
        found << (element == QLatin1String("release")
                      ? xml.attributes().value(QStringLiteral("version")).toString()
                      : xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed());
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY2(found.contains(text), qPrintable(found.join(QLatin1String(" | "))));
}

// A software centre finds the program by the AppStream keywords, a menu by the
// desktop entry's: the same words in each language, so that a search for
// "хорда" finds it in both.
void tst_Install::keywords_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QString();
    QTest::newRow("Bulgarian") << QStringLiteral("bg");
}

void tst_Install::keywords()
{
    QFETCH(QString, language);
    const auto entry = readDesktopEntry(installed(QStringLiteral("share/applications/%1.desktop").arg(AppId)));
    const QString key = language.isEmpty() ? QStringLiteral("Keywords")
                                           : QStringLiteral("Keywords[%1]").arg(language);
    QStringList menuWords = entry.value(key).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QVERIFY2(menuWords.size() >= 5, qPrintable(entry.value(key)));

    QFile file(installed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId)));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList centreWords;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("keyword")
            && xml.attributes().value(QStringLiteral("xml:lang")) == language) {
            centreWords << xml.readElementText().trimmed();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    menuWords.sort();
    centreWords.sort();
    QCOMPARE(centreWords, menuWords);
}

void tst_Install::validators_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");

    QTest::newRow("desktop entry") << QStringLiteral("desktop-file-validate") << QStringList()
                                   << QStringLiteral("share/applications/%1.desktop").arg(AppId);
    QTest::newRow("AppStream data") << QStringLiteral("appstreamcli")
                                    << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net")}
                                    << QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId);
}

void tst_Install::validators()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) {
        QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
    }
    const ToolResult result = runTool(program, arguments << installed(file));
    QVERIFY2(result.exitCode == 0, qPrintable(result.output));
    // Both tools print warnings and still exit 0; a warning counts as a failure.
    for (const QString &line : result.output.split(QLatin1Char('\n'))) {
        QVERIFY2(!line.contains(QLatin1String("warning"), Qt::CaseInsensitive)
                     && !line.contains(QLatin1String("error"), Qt::CaseInsensitive)
                     && !line.startsWith(QLatin1String("W:")) && !line.startsWith(QLatin1String("E:")),
                 qPrintable(line));
    }
}

// The installed copy finds everything it needs (its images are compiled in):
// it starts and keeps running until it is closed.
void tst_Install::installedProgramStarts()
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(installed(QStringLiteral("bin/dragon-valley")), {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    QVERIFY2(!program.waitForFinished(1500), qPrintable(QString::fromUtf8(program.readAll())));
    QCOMPARE(program.state(), QProcess::Running);
    program.terminate();
    if (!program.waitForFinished(5000)) {
        program.kill();
        program.waitForFinished();
    }
}

void tst_Install::ignoresLibrariesInWorkingDirectory_data()
{
    QTest::addColumn<QString>("program");

    QTest::newRow("in the build folder") << QStringLiteral(DV_BUILD_DIR "/app/dragon-valley");
    QTest::newRow("installed") << installed(QStringLiteral("bin/dragon-valley"));
}

void tst_Install::ignoresLibrariesInWorkingDirectory()
{
    QFETCH(QString, program);

    // Files named like the program's libraries where it is started from: the
    // loader must take the system's libraries, not these.
    QTemporaryDir workingDirectory;
    QVERIFY(workingDirectory.isValid());
    for (const char *name : {"libfontconfig.so.1", "libQt6Widgets.so.6", "libQt6Gui.so.6",
                             "libQt6Core.so.6", "libstdc++.so.6"}) {
        QFile stray(workingDirectory.filePath(QString::fromLatin1(name)));
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.write("not a library");
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(workingDirectory.path());
    process.start(program, {});
    QVERIFY2(process.waitForStarted(), qPrintable(process.errorString()));
    QVERIFY2(!process.waitForFinished(1500), qPrintable(QString::fromUtf8(process.readAll())));
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

QTEST_MAIN(tst_Install)
#include "tst_install.moc"
