#include "ui/status_bar.h"

#include "app/duration_calculator_view_model.h"
#include "ui/elided_label.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QLabel>
#include <QProgressBar>

namespace quillmark {

StatusBar::StatusBar(DurationCalculatorViewModel& viewModel, QWidget* parent)
    : QStatusBar(parent)
    , m_viewModel(viewModel)
{
    setObjectName(QStringLiteral("statusBar"));
    setSizeGripEnabled(false);
    setContentsMargins(theme::px(12), theme::px(4), theme::px(12), theme::px(4));
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("statusIcon"));
    m_icon->setFixedSize(theme::px(14), theme::px(14));
    m_icon->setAlignment(Qt::AlignCenter);
    m_text = new ElidedLabel(Qt::ElideMiddle, Qt::AlignLeft | Qt::AlignVCenter, this);
    m_text->setObjectName(QStringLiteral("statusText"));
    m_text->setFont(theme::caption());
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setFixedSize(theme::px(140), theme::px(6));
    m_progress->setAccessibleName(tr("Avanzamento"));
    m_percent = theme::captionLabel(QString(), this);
    m_percent->setObjectName(QStringLiteral("percentLabel"));
    m_percent->setMinimumWidth(
        QFontMetrics(m_percent->font()).horizontalAdvance(QStringLiteral("100%")));
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    addWidget(m_icon);
    addWidget(m_text, 1);
    addPermanentWidget(m_progress);
    addPermanentWidget(m_percent);

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
    const QString text =
        m_viewModel.isRunning() ? tr("Calcolo in corso…") : m_viewModel.statusMessage();
    m_text->setText(text);
    // Named by its text: a screen reader hears each new status.
    setAccessibleName(text);
    // Work in progress has no icon: it is neither done nor wrong yet.
    const int size = theme::px(12);
    switch (m_viewModel.isBusy() ? StatusKind::working : m_viewModel.statusKind()) {
    case StatusKind::done:
        m_icon->setPixmap(symbolPixmap(QStringLiteral("emblem-ok"), size, theme::success()));
        m_icon->setAccessibleName(tr("Fatto"));
        break;
    case StatusKind::note:
        m_icon->setPixmap(
            symbolPixmap(QStringLiteral("dialog-information"), size, theme::secondary()));
        m_icon->setAccessibleName(tr("Nota"));
        break;
    case StatusKind::error:
        m_icon->setPixmap(symbolPixmap(QStringLiteral("dialog-error"), size, theme::error()));
        m_icon->setAccessibleName(tr("Errore"));
        break;
    case StatusKind::working:
        m_icon->setPixmap(QPixmap());
        m_icon->setAccessibleName(tr("In corso"));
        break;
    }
}

void StatusBar::showProgress()
{
    m_progress->setValue(int(m_viewModel.progress() * 1000));
    m_percent->setText(QStringLiteral("%1%").arg(m_viewModel.percent()));
}

} // namespace quillmark
