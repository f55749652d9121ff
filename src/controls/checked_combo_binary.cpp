#include "controls/checked_combo_binary.h"

#include "chip/value_format.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace vrx {

TCheckedComboBinary::TCheckedComboBinary(QWidget* parent) : QComboBox(parent) {
    // The list's own filter is installed when the view is first asked for; ours comes later and
    // so sees the clicks first, before the list would close on them.
    view()->viewport()->installEventFilter(this);
    view()->installEventFilter(this);
    view()->setContextMenuPolicy(Qt::CustomContextMenu);
    listMenu_.addAction(QStringLiteral("&Select All"), this, [this] { SetAllChecked(true); })
        ->setObjectName(QStringLiteral("SelectAll"));
    listMenu_.addAction(QStringLiteral("&DeSelect All"), this, [this] { SetAllChecked(false); })
        ->setObjectName(QStringLiteral("DeSelectAll"));
    connect(view(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { listMenu_.popup(view()->viewport()->mapToGlobal(pos)); });
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::CheckStateRole)) {
                    update();
                    emit textChanged(text());
                }
            });
}

void TCheckedComboBinary::SetItems(const QStringList& names) {
    clear();
    auto* items = qobject_cast<QStandardItemModel*>(model());
    for (const QString& name : names) {
        auto* item = new QStandardItem(name);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        items->appendRow(item);
    }
    updateGeometry();
    update();
    emit textChanged(text());
}

bool TCheckedComboBinary::Checked(int item) const {
    return itemData(item, Qt::CheckStateRole).toInt() == Qt::Checked;
}

void TCheckedComboBinary::SetChecked(int item, bool on) {
    if (item >= 0 && item < count() && Checked(item) != on) {
        setItemData(item, on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    }
}

void TCheckedComboBinary::SetAllChecked(bool on) {
    for (int i = 0; i < count(); ++i) {
        SetChecked(i, on);
    }
}

QString TCheckedComboBinary::text() const {
    QString bits;
    bits.reserve(count());
    for (int i = count() - 1; i >= 0; --i) {
        bits += Checked(i) ? u'1' : u'0';
    }
    return bits;
}

uint32_t TCheckedComboBinary::Value() const {
    return ParseBitString(text().toStdString());
}

void TCheckedComboBinary::Toggle(const QModelIndex& index) {
    if (index.isValid()) {
        SetChecked(index.row(), !Checked(index.row()));
    }
}

bool TCheckedComboBinary::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view()->viewport()) {
        // Only a press and its release on the same item tick it: the release of the press that
        // opened the list lands on whichever item the list put under the mouse.
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            pressedRow_ = mouse->button() == Qt::LeftButton
                              ? view()->indexAt(mouse->position().toPoint()).row()
                              : -1;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QModelIndex index = view()->indexAt(mouse->position().toPoint());
            if (mouse->button() == Qt::LeftButton && index.isValid() &&
                index.row() == pressedRow_) {
                Toggle(index);
            }
            pressedRow_ = -1;
            return true; // the list stays open
        }
    }
    if (watched == view() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        Toggle(view()->currentIndex());
        return true;
    }
    return QComboBox::eventFilter(watched, event);
}

void TCheckedComboBinary::showPopup() {
    pressedRow_ = -1;
    // As wide as the longest item with its check box, however narrow the closed box.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth() +
                            view()->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    QComboBox::showPopup();
}

void TCheckedComboBinary::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = text();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

QSize TCheckedComboBinary::sizeHint() const {
    // Wide enough for the bit string, not for the longest item name: the list opens wider.
    ensurePolished();
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QFontMetrics metrics = fontMetrics();
    const QSize contents(metrics.horizontalAdvance(QString(std::max(count(), 1), u'0')) + 8,
                         metrics.height());
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, this);
}

QSize TCheckedComboBinary::minimumSizeHint() const {
    return sizeHint();
}

} // namespace vrx
