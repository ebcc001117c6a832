#pragma once

#include "ui/section.h"

class QLineEdit;

namespace quillmark {

class Chips;
class DurationCalculatorViewModel;
class SwitchToggle;

// The extensions field with the chips of what it gives, and the hide-empty-folders toggle.
class OptionsBar : public Section {
    Q_OBJECT

public:
    OptionsBar(DurationCalculatorViewModel& viewModel, QWidget* parent = nullptr);
    // Puts the keyboard in the extensions field, its text selected.
    void editExtensions();

private:
    void showExtensions();

    DurationCalculatorViewModel& m_viewModel;
    QLineEdit* m_extensions;
    Chips* m_chips;
    SwitchToggle* m_hideEmpty;
};

} // namespace quillmark
