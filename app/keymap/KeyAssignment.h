#pragma once
// Runs the key assignment dialog for configuration.currentKey on configuration.currentLevel,
// modally. The main window calls it from its key command and repaints afterwards.

class KeyboardConfiguration;
class QWidget;
class SkinResources;

// The dialog's result: QDialog::Accepted after OK (or Return), Rejected after Cancel, the
// close box or Esc. Only OK changes the configuration.
int runKeyAssignmentDialog(QWidget* parent, KeyboardConfiguration& configuration, SkinResources& skin);
