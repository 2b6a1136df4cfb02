#include "platform/ui/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace ui {

RadioGroup::RadioGroup(QWidget* parent) : RadioGroup(QString(), parent) {}

RadioGroup::RadioGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)), layout_(new QGridLayout(this))
{
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            emit itemIndexChanged(id);
        }
    });
}

void RadioGroup::AddItem(const QString& text)
{
    auto* button = new QRadioButton(text, this);
    group_->addButton(button, Count());
    relayout();
}

int RadioGroup::Count() const
{
    return static_cast<int>(group_->buttons().size());
}

QString RadioGroup::ItemText(int index) const
{
    QRadioButton* button = Button(index);
    return button == nullptr ? QString() : button->text();
}

int RadioGroup::ItemIndex() const
{
    return group_->checkedId();
}

void RadioGroup::SetItemIndex(int index)
{
    if (QRadioButton* button = Button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group never lets its last checked button go.
    if (QAbstractButton* checked = group_->checkedButton()) {
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
        emit itemIndexChanged(-1);
    }
}

void RadioGroup::SetColumns(int columns)
{
    columns_ = columns < 1 ? 1 : columns;
    relayout();
}

QRadioButton* RadioGroup::Button(int index) const
{
    return qobject_cast<QRadioButton*>(group_->button(index));
}

void RadioGroup::relayout()
{
    const int count = Count();
    const int rows = (count + columns_ - 1) / columns_;
    for (int index = 0; index < count; ++index) {
        layout_->removeWidget(Button(index));
    }
    for (int index = 0; index < count; ++index) {
        layout_->addWidget(Button(index), index % rows, index / rows);
    }
}

} // namespace ui
