#include "plinth/KVResource.h"

#include <QWidget>
#include <map>

namespace {

std::map<int, QSize>& ResourceSizes()
{
    // Interface thread only, like every form.
    static std::map<int, QSize> sizes;
    return sizes;
}

} // namespace

void KVSetIDResourceSize(int resourceId, QSize size)
{
    if (size.isEmpty()) {
        ResourceSizes().erase(resourceId);
        return;
    }
    ResourceSizes()[resourceId] = size;
}

QSize KVGetIDResourceSize(int resourceId)
{
    const auto found = ResourceSizes().find(resourceId);
    return found != ResourceSizes().end() ? found->second : QSize();
}

QWidget* KVGetDlgItem(const QWidget* parent, int id)
{
    if (parent == nullptr) {
        return nullptr;
    }
    const QString number = QString::number(id);
    const QString suffix = QLatin1Char('_') + number;
    const QString infix = suffix + QLatin1Char('_');
    const auto children = parent->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QString name = child->objectName();
        if (name == number || name.endsWith(suffix) || name.contains(infix)) {
            return child;
        }
    }
    return nullptr;
}
