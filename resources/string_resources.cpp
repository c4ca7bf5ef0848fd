#include "resources/string_resources.h"
#include "resources/resource_ids.h"

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
