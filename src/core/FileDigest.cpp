#include "core/FileDigest.h"

#include "core/Installation.h"
#include "core/Posix.h"
#include "core/RegularFile.h"

#include <array>
#include <memory>
#include <stdexcept>
#include <vector>

#include <openssl/evp.h>

namespace launcher {
namespace {

constexpr std::size_t kChunk = 1 << 20;

struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

} // namespace

std::string sha256Of(int fd, const std::filesystem::path& path)
{
    const std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");

    std::vector<unsigned char> chunk(kChunk);
    while (const std::size_t n = readSome(fd, chunk.data(), chunk.size(), path))
        EVP_DigestUpdate(context.get(), chunk.data(), n);

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

std::string sha256Of(const std::filesystem::path& file)
{
    return sha256Of(openRegular(file).fd.get(), file);
}

} // namespace launcher
