#pragma once

#include <QCoreApplication>

#include <filesystem>
#include <stop_token>

namespace quillmark {

class ActionHost;
struct PlaylistsWritten;

// Writes one playlist per folder with videos as a job that shows its progress and can be
// stopped; after a stop, every playlist is the old one or the new one.
class PlaylistJob {
    Q_DECLARE_TR_FUNCTIONS(PlaylistJob)

public:
    explicit PlaylistJob(ActionHost& host);
    ~PlaylistJob();

    void start(const std::filesystem::path& folder);
    // The playlist being written is finished on the worker, or never replaces the old one; the
    // window is free at once, also when a share keeps that write waiting.
    void stop();

private:
    void show(const PlaylistsWritten& written);

    ActionHost& m_host;
    std::stop_source m_stop;
};

} // namespace quillmark
