#include "ui/resources/window_fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace nivra::res {

namespace {

// Where Debian's fonts-wine keeps its fonts: outside the folders fontconfig searches.
constexpr const char* kWineFonts[] = {"/usr/share/wine/fonts/tahoma.ttf",
                                      "/usr/share/wine/fonts/tahomabd.ttf"};

} // namespace

void installWindowFonts() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (const char* file : kWineFonts)
        if (QFile::exists(QString::fromLatin1(file)))
            QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    const QStringList substitutes{QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans")};
    for (const char* family :
         {"MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif", "Microsoft Sans Serif"})
        QFont::insertSubstitutions(QString::fromLatin1(family), substitutes);
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"));
}

} // namespace nivra::res
