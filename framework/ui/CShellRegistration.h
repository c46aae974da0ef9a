#pragma once
// Makes the desktop know the program's document type, at every start:
// double-clicking a page file starts the program (or hands the file to the
// running one, see CInstanceChannel), and file managers show its type name
// and icon.
//
// Register writes, only under the user's own folders:
//   $XDG_DATA_HOME/mime/packages/<typeId>.xml   the MIME type: its comment
//       (the type name), icon and a glob for the extension (shared-mime-info
//       globs match case-insensitively unless told otherwise, so "*.quo"
//       also matches "PAGE.QUO");
//   $XDG_DATA_HOME/applications/<desktopId>     the desktop entry that opens
//       the file (Exec="<executable>" %f, one file per start);
//   $XDG_CONFIG_HOME/mimeapps.list              the program as the type's
//       default application, only while no mimeapps.list in the lookup
//       order names any default for the type: a choice the user (or the
//       system) made is never replaced.
// When a desktop entry with the same id is installed in $XDG_DATA_DIRS
// (the package ships one, with the MIME package), the first two are left
// to the package and not written.
//
// Files are rewritten only when their content would change, each one
// atomically, so a start with everything current writes nothing. After a
// write the desktop's caches are refreshed in the background
// (update-mime-database, update-desktop-database, when installed);
// start-up never waits for them.
//
// Nothing throws; a failure returns false with a message and leaves
// whatever was already there in place. Start-up goes on either way:
//
//   CShellRegistration::Info info;
//   info.typeId = "Tarvex.Document";  info.typeName = "Tarvex Document";
//   info.extension = ".quo";          info.mimeType = "application/x-tarvex-quote-page";
//   info.desktopId = "tarvex.desktop"; info.programName = "Tarvex";
//   info.executable = QCoreApplication::applicationFilePath();
//   info.iconName = "tarvex";         info.typeIconName = "application-x-tarvex-quote-page";
//   QString error;
//   if (!CShellRegistration::Register(info, &error))
//       qWarning("%s", qPrintable(error));

#include <QByteArray>
#include <QString>
#include <QStringList>

class CShellRegistration {
public:
    struct Info {
        QString typeId;      // "Tarvex.Document": names the MIME package file
        QString typeName;    // "Tarvex Document": the MIME type's comment
        QString extension;   // ".quo" (either case; the glob is lower case)
        QString mimeType;    // "application/x-tarvex-quote-page"
        QString desktopId;   // "tarvex.desktop"
        QString programName; // "Tarvex": the entry's Name
        QString executable;  // absolute path of the program
        QString iconName;    // the entry's icon: a theme name or an absolute path
        QString typeIconName; // the documents' theme icon; empty: iconName
        QString comment;     // the entry's Comment (may be empty)
        QStringList categories{QStringLiteral("Office"), QStringLiteral("Finance")};
        // Run the cache tools after a write (tests turn this off to see
        // only the files Register itself writes).
        bool refreshDatabases = true;
    };

    // Brings the registration up to date as described above. True when
    // everything is in place (written now or already current).
    static bool Register(const Info& info, QString* pError = nullptr);

    // The texts Register writes, for checks and for packaging.
    static QByteArray DesktopEntryText(const Info& info);
    static QByteArray MimePackageText(const Info& info);
    // One Exec argument quoted by the desktop-entry rules (reserved
    // characters inside double quotes, '"', '`', '$', '\' escaped, '%'
    // doubled), then escaped as a string value ('\' doubled).
    static QString QuoteExecArgument(const QString& argument);
};
