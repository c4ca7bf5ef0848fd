#include "ui/resources/string_resources.h"
#include "ui/resources/resource_ids.h"

namespace nivra::res {

QString loadStringResource(int id) {
    switch (id) {
    case kStringAboutMenu:
        return QStringLiteral("&About Nivra...");
    default:
        return {};
    }
}

} // namespace nivra::res
