#include "app/check_value.h"

#include <QCheckBox>

namespace tagwright {

int checkValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

void setCheckValue(QCheckBox* box, int value)
{
    // Only a stored 2 shows the greyed state; a user's click on any other box just toggles it.
    box->setTristate(value == 2);
    box->setCheckState(value == 1   ? Qt::Checked
                       : value == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

bool isTicked(const QCheckBox* box)
{
    return box->checkState() == Qt::Checked;
}

} // namespace tagwright
