#include "support/TemporaryFolder.h"

#include "core/StagingFolder.h"
#include "core/Uuid.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace launcher::testing {

TemporaryFolder::TemporaryFolder() : m_path(std::filesystem::path(VEYRA2_TEST_TEMP_DIR) / freshUuid())
{
    std::filesystem::create_directories(m_path);
}

TemporaryFolder::~TemporaryFolder()
{
    removeTreeQuietly(m_path);
}

void writeFile(const std::filesystem::path& file, std::string_view content)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::string readFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void makeTreeTooDeepForPaths(const std::filesystem::path& folder)
{
    // Made relative to open folders: no path could reach the lower levels.
    std::filesystem::create_directories(folder / "ab");
    int fd = ::open((folder / "ab").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; fd >= 0 && level < 3000; ++level) {
        const int next = ::mkdirat(fd, "ab", 0755) == 0 ? ::openat(fd, "ab", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        ::close(fd);
        fd = next;
    }
    const int payload = fd >= 0 ? ::openat(fd, "payload", O_WRONLY | O_CREAT | O_CLOEXEC, 0644) : -1;
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (payload < 0)
        throw std::system_error(error, std::generic_category(), "cannot make the deep tree in " + folder.string());
    ::close(payload);
}

} // namespace launcher::testing
