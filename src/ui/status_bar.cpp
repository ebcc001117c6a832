#include "ui/status_bar.h"

#include "app/duration_calculator_view_model.h"
#include "ui/elided_label.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace quillmark {

StatusBar::StatusBar(DurationCalculatorViewModel& viewModel, QWidget* parent)
    : QFrame(parent)
    , m_viewModel(viewModel)
{
    setObjectName(QStringLiteral("statusBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 8, 16, 8);
    layout->setSpacing(10);
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("statusIcon"));
    m_icon->setFixedSize(14, 14);
    m_icon->setAccessibleName(tr("Stato"));
    m_text = new ElidedLabel(Qt::ElideMiddle, Qt::AlignLeft | Qt::AlignVCenter, this);
    m_text->setObjectName(QStringLiteral("statusText"));
    m_text->setFont(theme::caption());
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setFixedSize(140, 6);
    m_progress->setAccessibleName(tr("Avanzamento"));
    m_percent = theme::captionLabel(QString(), this);
    m_percent->setObjectName(QStringLiteral("percentLabel"));
    m_percent->setFixedWidth(34);
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(m_icon);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_progress);
    layout->addWidget(m_percent);

    for (auto signal : {&DurationCalculatorViewModel::statusMessageChanged,
                        &DurationCalculatorViewModel::statusKindChanged,
                        &DurationCalculatorViewModel::actionsChanged})
        connect(&m_viewModel, signal, this, &StatusBar::showStatus);
    for (auto signal : {&DurationCalculatorViewModel::progressChanged,
                        &DurationCalculatorViewModel::percentChanged})
        connect(&m_viewModel, signal, this, &StatusBar::showProgress);
    showStatus();
    showProgress();
}

void StatusBar::showStatus()
{
    // During a run the page says which file is measured; the line only that a run goes on.
    m_text->setText(m_viewModel.isRunning() ? tr("Calcolo in corso…")
                                            : m_viewModel.statusMessage());
    // Work in progress has no icon: it is neither done nor wrong yet.
    switch (m_viewModel.isBusy() ? StatusKind::working : m_viewModel.statusKind()) {
    case StatusKind::done:
        m_icon->setPixmap(symbolPixmap(QStringLiteral("emblem-ok"), 12, theme::success()));
        break;
    case StatusKind::note:
        m_icon->setPixmap(
            symbolPixmap(QStringLiteral("dialog-information"), 12, theme::secondary()));
        break;
    case StatusKind::error:
        m_icon->setPixmap(symbolPixmap(QStringLiteral("dialog-error"), 12, theme::error()));
        break;
    case StatusKind::working:
        m_icon->setPixmap(QPixmap());
        break;
    }
}

void StatusBar::showProgress()
{
    m_progress->setValue(int(m_viewModel.progress() * 1000));
    m_percent->setText(QStringLiteral("%1%").arg(m_viewModel.percent()));
}

} // namespace quillmark
