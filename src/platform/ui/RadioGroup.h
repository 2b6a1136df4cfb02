#pragma once

// A radio group like the Windows control: a framed set of radio buttons of
// which at most one is chosen, addressed by index.

#include <QGroupBox>
#include <QString>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

namespace ui {

class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    explicit RadioGroup(QWidget* parent = nullptr);
    explicit RadioGroup(const QString& title, QWidget* parent = nullptr);

    // Appends a radio button; items are numbered from 0 in the order added.
    void AddItem(const QString& text);
    int Count() const;
    QString ItemText(int index) const;
    // The chosen item, -1 when none.
    int ItemIndex() const;
    // Chooses an item; -1 (or any index out of range) chooses none.
    void SetItemIndex(int index);
    // Lays the items out in this many columns, filled column by column.
    void SetColumns(int columns);
    // The item's button, for a person's click; null out of range.
    QRadioButton* Button(int index) const;

signals:
    // The chosen item changed, by a click or by SetItemIndex.
    void itemIndexChanged(int index);

private:
    void relayout();

    QButtonGroup* group_;
    QGridLayout* layout_;
    int columns_ = 1;
};

} // namespace ui
