#include "support/TemporaryFolder.h"

#include "core/StagingFolder.h"
#include "core/Uuid.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

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

} // namespace launcher::testing
