#include "fw/DocTemplateStrings.h"

#include <QStringList>

namespace fw {

DocTemplateStrings DocTemplateStrings::parse(const QString& templateString)
{
    const QStringList parts = templateString.split(QLatin1Char('\n'));
    DocTemplateStrings out;
    out.windowTitle = parts.value(0);
    out.docName = parts.value(1);
    out.fileNewName = parts.value(2);
    out.filterName = parts.value(3);
    out.filterExt = parts.value(4);
    out.regFileTypeId = parts.value(5);
    out.regFileTypeName = parts.value(6);
    return out;
}

} // namespace fw
