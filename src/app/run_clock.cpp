#include "app/run_clock.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <climits>

namespace quillmark {

namespace {

// An estimate from fewer files says little.
constexpr std::int64_t filesBeforeAnEstimate = 3;

} // namespace

QString clockText(std::int64_t seconds)
{
    const std::int64_t hours = seconds / 3600;
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2")
            .arg(hours ? (seconds / 60) % 60 : seconds / 60, hours ? 2 : 1, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return hours ? QString::number(hours) + QLatin1Char(':') + minutesAndSeconds
                 : minutesAndSeconds;
}

RunClock::RunClock(std::function<void()> tick)
{
    m_ticker.setInterval(1000);
    QObject::connect(&m_ticker, &QTimer::timeout, std::move(tick));
}

void RunClock::start()
{
    m_total = -1;
    m_done = 0;
    m_foundFolders = 0;
    m_foundFiles = 0;
    m_elapsed.start();
    m_ticker.start();
}

void RunClock::stop()
{
    m_ticker.stop();
}

QString RunClock::text() const
{
    const std::int64_t gone = m_elapsed.elapsed() / 1000;
    // A walk that takes under a second is not worth a line that flashes by.
    if (m_total < 0 && gone > 0) {
        auto count = [](const char* text, std::int64_t number) {
            return QCoreApplication::translate("RunClock", text, nullptr,
                                               int(std::min(number, std::int64_t(INT_MAX))));
        };
        return count(QT_TRANSLATE_N_NOOP("RunClock", "%Ln cartelle"), m_foundFolders) +
               QStringLiteral(" · ") +
               count(QT_TRANSLATE_N_NOOP("RunClock", "%Ln video trovati"), m_foundFiles) +
               QStringLiteral(" · ") + clockText(gone);
    }
    if (m_total < 0)
        return {};
    const auto files = static_cast<int>(std::min(m_total, std::int64_t(INT_MAX)));
    QString text = QCoreApplication::translate("RunClock", "%1 di %Ln file · %2", nullptr, files)
                       .arg(QLocale().toString(m_done), clockText(gone));
    if (m_done >= filesBeforeAnEstimate && m_done < m_total) {
        const std::int64_t left = m_elapsed.elapsed() * (m_total - m_done) / m_done / 1000;
        text +=
            QCoreApplication::translate("RunClock", " · circa %1 alla fine").arg(clockText(left));
    }
    return text;
}

} // namespace quillmark
