#pragma once
// TCheckedComboBinary: a drop-down list of check boxes whose closed text is the bit string of
// its ticks, last item first (item i is bit i of that text read as a binary number). Clicking an
// item of the opened list, or Space on the current one, toggles it and keeps the list open;
// opening the list ticks nothing. The list's context menu ticks or unticks every item at once.
// Any change of a tick is a change of the text.

#include <QComboBox>
#include <QMenu>
#include <QStringList>

#include <cstdint>

namespace vrx {

class TCheckedComboBinary : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString text READ text NOTIFY textChanged)

public:
    explicit TCheckedComboBinary(QWidget* parent = nullptr);

    // Replaces the items; all start unticked.
    void SetItems(const QStringList& names);

    bool Checked(int item) const;
    void SetChecked(int item, bool on);
    void SetAllChecked(bool on);

    // The bit string of the ticks, e.g. "0101" when items 0 and 2 of four are ticked.
    QString text() const;
    // The bit string read as a number.
    uint32_t Value() const;

    // The context menu of the opened list ("&Select All", "&DeSelect All").
    QMenu* ListMenu() { return &listMenu_; }

    void showPopup() override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void textChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Toggle(const QModelIndex& index);

    QMenu listMenu_;
    int pressedRow_ = -1; // the item a press in the opened list began on
};

} // namespace vrx
