#include "KeyAssignment.h"

#include "CVelaDialogKeyMapSettings.h"

int runKeyAssignmentDialog(QWidget* parent, KeyboardConfiguration& configuration, SkinResources& skin) {
    CVelaDialogKeyMapSettings dialog(configuration, skin, parent);
    return dialog.exec();
}
