#include "ui/options_bar.h"

#include "app/duration_calculator_view_model.h"
#include "ui/chips.h"
#include "ui/field_text.h"
#include "ui/switch_toggle.h"
#include "ui/theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace quillmark {

OptionsBar::OptionsBar(DurationCalculatorViewModel& viewModel, QWidget* parent)
    : Section(parent)
    , m_viewModel(viewModel)
{
    setObjectName(QStringLiteral("optionsBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(theme::px(16), theme::px(10), theme::px(16), theme::px(10));
    layout->setSpacing(theme::px(10));

    QLabel* caption = theme::captionLabel(tr("Estensioni"), this);
    m_extensions = new QLineEdit(this);
    m_extensions->setObjectName(QStringLiteral("extensionsField"));
    m_extensions->setPlaceholderText(tr("es. mp4,mov"));
    m_extensions->setAccessibleName(caption->text());
    m_extensions->setFont(theme::font(12, QFont::Normal, true));
    m_extensions->setFixedWidth(theme::px(130));
    caption->setBuddy(m_extensions);

    m_chips = new Chips(this);
    m_chips->setObjectName(QStringLiteral("extensionChips"));

    m_hideEmpty = new SwitchToggle(tr("Nascondi cartelle senza video"), this);
    m_hideEmpty->setObjectName(QStringLiteral("hideEmptyToggle"));
    m_hideEmpty->setFont(theme::caption());

    layout->addWidget(caption);
    layout->addWidget(m_extensions);
    layout->addWidget(m_chips, 1);
    layout->addWidget(m_hideEmpty);

    connect(m_extensions, &QLineEdit::textEdited, &m_viewModel,
            &DurationCalculatorViewModel::setExtensionsText);
    connect(m_extensions, &QLineEdit::returnPressed, &m_viewModel,
            &DurationCalculatorViewModel::calculate);
    connect(&m_viewModel, &DurationCalculatorViewModel::extensionsTextChanged, this,
            &OptionsBar::showExtensions);
    connect(m_hideEmpty, &SwitchToggle::toggled, &m_viewModel,
            &DurationCalculatorViewModel::setHideEmptyFolders);
    connect(&m_viewModel, &DurationCalculatorViewModel::hideEmptyFoldersChanged, this,
            [this] { m_hideEmpty->setChecked(m_viewModel.hideEmptyFolders()); });
    // The chips dim with the field they show.
    connect(&m_viewModel, &DurationCalculatorViewModel::actionsChanged, this, [this] {
        for (QWidget* control : std::initializer_list<QWidget*>{m_extensions, m_chips, m_hideEmpty})
            control->setEnabled(m_viewModel.canCalculate());
    });
    showExtensions();
    m_hideEmpty->setChecked(m_viewModel.hideEmptyFolders());
}

void OptionsBar::editExtensions()
{
    m_extensions->setFocus(Qt::OtherFocusReason);
    m_extensions->selectAll();
}

void OptionsBar::showExtensions()
{
    showFieldText(m_extensions, m_viewModel.extensionsText());
    m_chips->setTexts(m_viewModel.extensionList());
}

} // namespace quillmark
