#pragma once
// TSpinEdit: an integer input field with up and down arrows. Its value is always the number in
// its text clamped into [minimum, maximum], or the minimum when the text is not a number, also
// while the user is still typing; the text is rewritten to the clamped value when the field
// loses the focus.

#include <QAbstractSpinBox>

#include <limits>
#include <optional>

namespace vrx {

class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int singleStep READ singleStep WRITE setSingleStep)
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged USER true)

public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setMinimum(int min);
    void setMaximum(int max);
    // Every value the field hands out can be negated: the lowest int is neither a value nor a
    // number in the text.
    static constexpr int kLowestValue = -std::numeric_limits<int>::max();

    // A maximum below the minimum is raised to it, a minimum below kLowestValue is raised to
    // that. A number in the text that falls outside the new range is clamped at once.
    void setRange(int min, int max);

    int singleStep() const { return singleStep_; }
    void setSingleStep(int step) { singleStep_ = step; }

    int value() const;
    // Writes the value clamped into the range.
    void setValue(int value);

    // The number the text holds, if it is one (decimal, optional sign, surrounding blanks,
    // kLowestValue..INT_MAX).
    static std::optional<int> ParseNumber(const QString& text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    QSize sizeHint() const override;

signals:
    void valueChanged(int value);

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ClampText();
    void NotifyIfChanged();

    int minimum_ = 0;
    int maximum_ = 99;
    int singleStep_ = 1;
    int lastValue_ = 0;
};

} // namespace vrx
