#pragma once

class QCheckBox;

namespace tagwright {

// A check box's value as the settings keep it: 0 unticked, 1 ticked, 2 greyed. Only 1 counts
// as ticked wherever a setting is tested.
int checkValue(const QCheckBox* box);
void setCheckValue(QCheckBox* box, int value);
bool isTicked(const QCheckBox* box);

} // namespace tagwright
