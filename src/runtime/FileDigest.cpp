#include "core/Installer.h"

#include <array>
#include <cerrno>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <openssl/evp.h>

namespace launcher {
namespace {

constexpr std::size_t kChunk = 1 << 20;

[[noreturn]] void failRead(const char* what, const std::filesystem::path& file, int error)
{
    throw std::filesystem::filesystem_error(what, file, std::error_code(error, std::generic_category()));
}

struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

class Descriptor final {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { ::close(m_fd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::string Installer::sha256(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        failRead("cannot open file", file, errno);
    const Descriptor descriptor(fd);

    const std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");

    std::vector<unsigned char> chunk(kChunk);
    for (;;) {
        const ssize_t n = ::read(descriptor.get(), chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failRead("cannot read file", file, errno);
        if (n == 0)
            break;
        EVP_DigestUpdate(context.get(), chunk.data(), static_cast<std::size_t>(n));
    }

    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context.get(), digest.data(), &length);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        text.push_back(kHex[digest[i] >> 4]);
        text.push_back(kHex[digest[i] & 0x0F]);
    }
    return text;
}

} // namespace launcher
