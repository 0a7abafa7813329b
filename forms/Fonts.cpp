#include "forms/Fonts.h"

#include "forms/LayoutFonts.h"
#include "forms/Platform.h"

#include <QFont>

namespace forms {

QString InstalledFamily(const QString& layoutFamily)
{
    for (const auto& [layout, installed] : kLayoutFonts) {
        if (layoutFamily == QStringView(layout))
            return QString::fromUtf16(installed);
    }
    return layoutFamily;
}

void InstallFontSubstitutions()
{
    for (const auto& [layout, installed] : kLayoutFonts)
        QFont::insertSubstitution(QString::fromUtf16(layout), QString::fromUtf16(installed));
    platform::InstallFontFallbacks();
}

} // namespace forms
