#include "CShellRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QString EnvFolder(const char* variable, const QString& fallback)
{
    // The base directory rules: a relative value is invalid and ignored.
    const QString value = QFile::decodeName(qgetenv(variable));
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : fallback;
}

QString DataHome()
{
    return EnvFolder("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share"));
}

QString ConfigHome()
{
    return EnvFolder("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"));
}

QStringList FolderList(const char* variable, const QString& fallback)
{
    QString value = QFile::decodeName(qgetenv(variable));
    if (value.isEmpty())
        value = fallback;
    QStringList result;
    for (const QString& entry : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(entry))
            result << QDir::cleanPath(entry);
    }
    return result;
}

bool SameFolder(const QString& a, const QString& b)
{
    if (QDir::cleanPath(a) == QDir::cleanPath(b))
        return true;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

bool HasControlCharacters(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

bool Matches(const char* pattern, const QString& text)
{
    return QRegularExpression(QString::fromLatin1(pattern)).match(text).hasMatch();
}

bool Validate(const CShellRegistration::Info& info, QString* pError)
{
    QString problem;
    if (!Matches("^[A-Za-z0-9][A-Za-z0-9._-]*$", info.typeId))
        problem = QStringLiteral("type id \"%1\"").arg(info.typeId);
    else if (!Matches("^\\.[A-Za-z0-9][A-Za-z0-9_+-]*$", info.extension))
        problem = QStringLiteral("extension \"%1\"").arg(info.extension);
    else if (!Matches("^[A-Za-z0-9][A-Za-z0-9.+_-]*/[A-Za-z0-9][A-Za-z0-9.+_-]*$", info.mimeType))
        problem = QStringLiteral("MIME type \"%1\"").arg(info.mimeType);
    else if (!Matches("^[A-Za-z0-9_][A-Za-z0-9._-]*\\.desktop$", info.desktopId))
        problem = QStringLiteral("desktop entry id \"%1\"").arg(info.desktopId);
    else if (!QDir::isAbsolutePath(info.executable) || HasControlCharacters(info.executable))
        problem = QStringLiteral("executable \"%1\"").arg(info.executable);
    else if (info.programName.trimmed().isEmpty() || HasControlCharacters(info.programName))
        problem = QStringLiteral("program name \"%1\"").arg(info.programName);
    else if (info.typeName.trimmed().isEmpty() || HasControlCharacters(info.typeName))
        problem = QStringLiteral("type name \"%1\"").arg(info.typeName);
    else if (HasControlCharacters(info.iconName) || HasControlCharacters(info.typeIconName)
             || HasControlCharacters(info.comment))
        problem = QStringLiteral("icon or comment");
    for (const QString& category : info.categories) {
        if (problem.isEmpty() && !Matches("^[A-Za-z0-9_-]+$", category))
            problem = QStringLiteral("category \"%1\"").arg(category);
    }
    if (problem.isEmpty())
        return true;
    if (pError)
        *pError = QStringLiteral("File type registration: invalid %1").arg(problem);
    return false;
}

// A value of type string or localestring in a desktop entry.
QString EscapeValue(const QString& text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char(' ') && i == 0)
            out += QStringLiteral("\\s");
        else
            out += c;
    }
    return out;
}

QString EscapeXml(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QStringLiteral("&apos;"));
}

// Writes `content` to `path` unless the file holds it already. The new
// file replaces the old one in one rename, so a crash leaves one or the
// other, never half of it.
bool WriteIfChanged(const QString& path, const QByteArray& content, bool* pWritten, QString* pError)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return true;
    existing.close();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (pError)
            *pError = QStringLiteral("Cannot create the folder %1").arg(folder);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        if (pError)
            *pError = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    *pWritten = true;
    return true;
}

// The mimeapps.list files in the order the desktop consults them.
QStringList MimeAppsLookupOrder()
{
    QStringList desktops;
    for (const QString& d : QFile::decodeName(qgetenv("XDG_CURRENT_DESKTOP")).split(QLatin1Char(':'), Qt::SkipEmptyParts))
        desktops << d.toLower();
    QStringList folders;
    folders << ConfigHome();
    folders << FolderList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    folders << DataHome() + QStringLiteral("/applications");
    for (const QString& dir : FolderList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")))
        folders << dir + QStringLiteral("/applications");
    QStringList files;
    for (const QString& folder : folders) {
        for (const QString& desktop : desktops)
            files << folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list");
        files << folder + QStringLiteral("/mimeapps.list");
    }
    return files;
}

bool IsGroupLine(const QByteArray& trimmed)
{
    return trimmed.startsWith('[') && trimmed.endsWith(']');
}

// Whether `text` names any default application for `mimeType`.
bool HasDefaultFor(const QByteArray& text, const QString& mimeType)
{
    bool inDefaults = false;
    for (const QByteArray& line : text.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (IsGroupLine(trimmed)) {
            inDefaults = trimmed == "[Default Applications]";
            continue;
        }
        if (!inDefaults || trimmed.startsWith('#'))
            continue;
        const qsizetype eq = trimmed.indexOf('=');
        if (eq <= 0)
            continue;
        const QString key = QString::fromUtf8(trimmed.left(eq).trimmed());
        const QByteArray value = trimmed.mid(eq + 1).trimmed();
        if (key.compare(mimeType, Qt::CaseInsensitive) == 0 && !value.isEmpty() && value != ";")
            return true;
    }
    return false;
}

// `text` with "<mimeType>=<desktopId>;" added to its [Default
// Applications] group (made when missing); every other line kept as it is.
QByteArray WithDefault(const QByteArray& text, const QString& mimeType, const QString& desktopId)
{
    const QByteArray entry = mimeType.toUtf8() + '=' + desktopId.toUtf8() + ';';
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    qsizetype group = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).trimmed() == "[Default Applications]") {
            group = i;
            break;
        }
    }
    if (group < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QByteArray();
        lines << QByteArray("[Default Applications]") << entry;
    } else {
        qsizetype insertAt = group + 1;
        for (qsizetype i = group + 1; i < lines.size() && !IsGroupLine(lines.at(i).trimmed()); ++i) {
            if (!lines.at(i).trimmed().isEmpty())
                insertAt = i + 1;
        }
        lines.insert(insertAt, entry);
    }
    return lines.join('\n') + '\n';
}

void RefreshInBackground(const QString& tool, const QString& folder)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return;
    QProcess process;
    process.setProgram(program);
    process.setArguments({folder});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}

} // namespace

QString CShellRegistration::QuoteExecArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
        // A lone '%' would start a field code.
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
    }
    quoted += QLatin1Char('"');
    // The string-value escapes are undone before the quoting is.
    return EscapeValue(quoted);
}

QByteArray CShellRegistration::DesktopEntryText(const Info& info)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n");
    text += QStringLiteral("Name=%1\n").arg(EscapeValue(info.programName));
    if (!info.comment.isEmpty())
        text += QStringLiteral("Comment=%1\n").arg(EscapeValue(info.comment));
    text += QStringLiteral("Exec=%1 %f\n").arg(QuoteExecArgument(info.executable));
    if (!info.iconName.isEmpty())
        text += QStringLiteral("Icon=%1\n").arg(EscapeValue(info.iconName));
    text += QStringLiteral("Terminal=false\n");
    if (!info.categories.isEmpty())
        text += QStringLiteral("Categories=%1;\n").arg(info.categories.join(QLatin1Char(';')));
    text += QStringLiteral("MimeType=%1;\n").arg(info.mimeType);
    return text.toUtf8();
}

QByteArray CShellRegistration::MimePackageText(const Info& info)
{
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    text += QStringLiteral("  <mime-type type=\"%1\">\n").arg(info.mimeType);
    text += QStringLiteral("    <comment>%1</comment>\n").arg(EscapeXml(info.typeName));
    // The MIME database takes icon names only; a path is for the entry.
    const QString icon = info.typeIconName.isEmpty() ? info.iconName : info.typeIconName;
    if (!icon.isEmpty() && !icon.contains(QLatin1Char('/')))
        text += QStringLiteral("    <icon name=\"%1\"/>\n").arg(EscapeXml(icon));
    // Globs without case-sensitive="true" match in any case.
    text += QStringLiteral("    <glob pattern=\"*%1\"/>\n").arg(info.extension.toLower());
    text += QStringLiteral("  </mime-type>\n"
                           "</mime-info>\n");
    return text.toUtf8();
}

bool CShellRegistration::Register(const Info& info, QString* pError)
{
    if (!Validate(info, pError))
        return false;

    const QString dataHome = DataHome();
    bool installed = false;
    for (const QString& dir : FolderList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"))) {
        if (!SameFolder(dir, dataHome) && QFileInfo(dir + QStringLiteral("/applications/") + info.desktopId).isFile())
            installed = true;
    }

    bool entryWritten = false;
    bool mimeWritten = false;
    if (!installed) {
        if (!WriteIfChanged(dataHome + QStringLiteral("/applications/") + info.desktopId, DesktopEntryText(info),
                            &entryWritten, pError))
            return false;
        if (!WriteIfChanged(dataHome + QStringLiteral("/mime/packages/") + info.typeId + QStringLiteral(".xml"),
                            MimePackageText(info), &mimeWritten, pError))
            return false;
    }

    bool anyDefault = false;
    for (const QString& path : MimeAppsLookupOrder()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && HasDefaultFor(file.readAll(), info.mimeType)) {
            anyDefault = true;
            break;
        }
    }
    if (!anyDefault) {
        const QString path = ConfigHome() + QStringLiteral("/mimeapps.list");
        QByteArray current;
        QFile file(path);
        if (file.exists()) {
            if (!file.open(QIODevice::ReadOnly)) {
                if (pError)
                    *pError = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
                return false;
            }
            current = file.readAll();
            file.close();
        }
        bool defaultWritten = false;
        if (!WriteIfChanged(path, WithDefault(current, info.mimeType, info.desktopId), &defaultWritten, pError))
            return false;
    }

    if (info.refreshDatabases) {
        if (mimeWritten)
            RefreshInBackground(QStringLiteral("update-mime-database"), dataHome + QStringLiteral("/mime"));
        if (entryWritten)
            RefreshInBackground(QStringLiteral("update-desktop-database"), dataHome + QStringLiteral("/applications"));
    }
    return true;
}
