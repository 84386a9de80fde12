#include "window/qt/Chooser.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStyle>
#include <QTextDocument>
#include <algorithm>

namespace ui::qt {

namespace {

// The widest line in the list's font, with room for the list's frame, its scroll bar and a
// character's width either side for the margins the item delegate draws around the text.
int ListWidthFor(const QComboBox* chooser) {
    const QFontMetrics metrics(chooser->view()->font());
    int widest = 0;
    for (int i = 0; i < chooser->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(chooser->itemText(i)));
    const int scrollBar =
        chooser->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, chooser);
    const int frame = 2 * chooser->view()->frameWidth();
    return widest + scrollBar + frame + 2 * metrics.averageCharWidth();
}

}  // namespace

QComboBox* CreateChooser(QWidget* parent) {
    auto* chooser = new QComboBox(parent);
    chooser->setEditable(false);
    // Lines are device names: the list shows them as they come, not sorted or deduplicated.
    chooser->setInsertPolicy(QComboBox::NoInsert);
    chooser->setCurrentIndex(-1);
    // The closed box may be narrower than its line (two wheels alike up to their serials): the
    // line chosen is whole in the box's tooltip.
    QObject::connect(chooser, &QComboBox::currentIndexChanged, chooser, [chooser] {
        // Device names are shown as they come: never read as markup.
        chooser->setToolTip(Qt::convertFromPlainText(chooser->currentText()));
    });
    return chooser;
}

void SetChooserItems(QComboBox* chooser, const std::vector<std::string>& items) {
    chooser->clear();
    for (const std::string& item : items) {
        chooser->addItem(QString::fromStdString(item));
        chooser->setItemData(chooser->count() - 1,
                             Qt::convertFromPlainText(QString::fromStdString(item)),
                             Qt::ToolTipRole);
    }
    // Adding the first line chooses it: the program has not chosen yet.
    chooser->setCurrentIndex(-1);
    // The closed box is as wide as the layout gives it; a line (a device's name, serial and port)
    // may be longer, and is read in the open list.
    chooser->view()->setMinimumWidth(ListWidthFor(chooser));
}

void SetChooserChoice(QComboBox* chooser, int index) {
    chooser->setCurrentIndex(index >= 0 && index < chooser->count() ? index : -1);
}

}  // namespace ui::qt
