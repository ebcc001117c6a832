#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quillmark::test {

// A folder served at mount through slow_share, whose requests wait (or never answer); unmounted
// with the object, whatever is still waiting on it. Where FUSE cannot be had (no /dev/fuse, no
// fusermount3) nothing is mounted, and the test skips.
class MountedShare {
public:
    // Waits as slow_share takes them: milliseconds, or "never"; writable with a write wait; then
    // slow_share's options.
    MountedShare(const std::filesystem::path& source, const std::filesystem::path& mount,
                 const std::string& readWait, const std::string& writeWait = {},
                 const std::vector<std::string>& options = {});
    ~MountedShare();
    MountedShare(const MountedShare&) = delete;
    MountedShare& operator=(const MountedShare&) = delete;

    bool isMounted() const { return m_mounted; }

private:
    std::filesystem::path m_mount;
    int m_server = -1;
    bool m_mounted = false;
};

} // namespace quillmark::test

// Skips the test where FUSE is not available.
#define QUILLMARK_REQUIRE_MOUNT(share)                                                             \
    if (!(share).isMounted())                                                                      \
    GTEST_SKIP() << "FUSE is not available here"
