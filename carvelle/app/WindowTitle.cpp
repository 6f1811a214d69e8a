#include "app/WindowTitle.h"

#include "core/AppData.h"
#include "core/CStringTable.h"
#include "datastore/CDataLayer.h"
#include "views/CVehicleListView.h"

#include <QFileInfo>

QString MainWindowTitle(const CVehicle* vehicle) {
    const QString product = LoadStringResource(IDS_PRODUCT_NAME);
    const CDataLayer& layer = TheDataLayer();
    if (!layer.IsConnected())
        return product;
    const QString file = QFileInfo(QString::fromUtf16(layer.GetDBPath())).fileName();
    const QString title = FormatStringResource(IDS_WINDOW_TITLE, {file, product});
    return vehicle ? FormatStringResource(IDS_WINDOW_TITLE, {CVehicleListView::DisplayText(*vehicle), title})
                   : title;
}
