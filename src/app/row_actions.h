#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <vector>

namespace quillmark {

class ActionHost;

// What a row of the report offers: copying paths (as the file system has them, one per line) or
// a folder's totals, playing a file with the desktop's player, showing a file in its folder and
// opening a folder in the file manager. The desktop is asked on a worker; a path that is not
// there any more is said so.
class RowActions : public QObject {
    Q_OBJECT

public:
    explicit RowActions(ActionHost& host, QObject* parent = nullptr);

    void copyPaths(const std::vector<QByteArray>& paths);
    // `totals` goes to the clipboard as it is; `name` is what the status line says was copied.
    void copyTotals(const QString& name, const QString& totals);
    void play(const QByteArray& file);
    void showInFolder(const QByteArray& file);
    void openFolder(const QByteArray& folder);

private:
    enum class Way { play, showInFolder, open };
    void hand(const QByteArray& path, Way way);

    ActionHost& m_host;
};

} // namespace quillmark
