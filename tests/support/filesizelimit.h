#pragma once

#include <sys/resource.h>

namespace Starwick::Test {

/// Limits the size of the files this process may write while it lives, so that a real write
/// fails part-way, as on a full disk, even for root (whom no permission stops). SIGXFSZ is
/// ignored meanwhile, so the write fails with EFBIG instead of ending the test.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    /// False when the limit could not be set (the test should then be skipped).
    bool isActive() const { return m_active; }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
    bool m_active = false;
};

} // namespace Starwick::Test
