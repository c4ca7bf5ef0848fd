#include "ui/resources/string_resources.h"
#include "ui/resources/resource_ids.h"

namespace nivra::res {

QString LoadStringResource(int id) {
    switch (id) {
    case kStringAboutMenu:
        return QStringLiteral("&About Nivra...");
    default:
        return {};
    }
}

} // namespace nivra::res
