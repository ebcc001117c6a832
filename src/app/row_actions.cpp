#include "app/row_actions.h"

#include "app/duration_calculator_view_model.h"
#include "app/jobs.h"
#include "model/path_text.h"
#include "platform/desktop_services.h"
#include "report/report_format.h"

namespace quillmark {

namespace {

std::filesystem::path localPath(const QByteArray& bytes)
{
    return bytes.toStdString();
}

} // namespace

RowActions::RowActions(ActionHost& host, QObject* parent)
    : QObject(parent)
    , m_host(host)
{
}

void RowActions::copyPaths(const std::vector<QByteArray>& paths)
{
    if (paths.empty())
        return;
    QByteArray text;
    for (const QByteArray& path : paths)
        text.append(path).append('\n');
    text.chop(1);
    m_host.services().desktop.setClipboardText(QString::fromUtf8(text));
    m_host.setStatus(
        paths.size() == 1
            ? tr("Percorso copiato: %1").arg(oneLine(pathText(localPath(paths.front()))))
            : tr("%Ln percorsi copiati", nullptr, int(paths.size())));
}

void RowActions::copyTotals(const QString& name, const QString& totals)
{
    m_host.services().desktop.setClipboardText(totals);
    m_host.setStatus(tr("Totali di «%1» copiati").arg(name));
}

void RowActions::play(const QByteArray& file)
{
    hand(file, Way::play);
}

void RowActions::showInFolder(const QByteArray& file)
{
    hand(file, Way::showInFolder);
}

void RowActions::openFolder(const QByteArray& folder)
{
    hand(folder, Way::open);
}

// Off the GUI thread: the look at the path, and the programs asked, may wait on a share.
void RowActions::hand(const QByteArray& bytes, Way way)
{
    enum class Outcome { handed, missing, noProgram };
    const ViewModelServices& services = m_host.services();
    auto ask = way == Way::play           ? services.openWithDefaultApplication
               : way == Way::showInFolder ? services.showFileInFileManager
                                          : services.showInFileManager;
    const std::filesystem::path path = localPath(bytes);
    m_host.jobs().run(Jobs::Job<Outcome>{
        .work =
            [path, ask](const auto&) {
                std::error_code error;
                if (!std::filesystem::exists(path, error))
                    return Outcome::missing;
                return ask(path) ? Outcome::handed : Outcome::noProgram;
            },
        .done =
            [this, path, way](Outcome& outcome) {
                if (outcome == Outcome::missing)
                    m_host.setStatus(tr("%1 non c'è più: ricalcola per aggiornare il report")
                                         .arg(pathText(path)),
                                     StatusKind::error);
                else if (outcome == Outcome::noProgram)
                    m_host.setStatus(
                        way == Way::play
                            ? tr("Nessun programma per riprodurre %1").arg(lastPathComponent(path))
                            : tr("Nessun gestore di file è disponibile"),
                        StatusKind::error);
            }});
}

} // namespace quillmark
