#include "core/Installation.h"

#include "app/DiagnosticsReport.h"
#include "app/HomeFolderMask.h"
#include "core/AtomicFile.h"
#include "core/FileCopy.h"
#include "core/RegularFile.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"

#include <algorithm>
#include <system_error>
#include <utility>
#include <vector>

#include <unistd.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// How much of the end of each log goes into the archive.
constexpr std::size_t kLogTail = std::size_t{1} << 20;

// The whole lines within the last `limit` bytes of a regular file, a link never
// followed. A line cut in two could start with the end of a home folder's path,
// which no mask would recognise.
std::string tail(const fs::path& file, std::size_t limit)
{
    const RegularFile log = openRegular(file, {.followLinks = false});
    const auto size = static_cast<std::size_t>(log.size);
    const std::size_t start = size > limit ? size - limit : 0;
    if (::lseek(log.fd.get(), static_cast<off_t>(start), SEEK_SET) < 0)
        throwFileError("cannot read file", file);
    std::string text(size - start, '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
        const std::size_t n = readSome(log.fd.get(), text.data() + filled, text.size() - filled, file);
        if (n == 0)
            break;
        filled += n;
    }
    text.resize(filled);
    if (start > 0) {
        const std::size_t firstLineEnd = text.find('\n');
        text.erase(0, firstLineEnd == std::string::npos ? text.size() : firstLineEnd + 1);
    }
    return text;
}

// Every path below the root with the size of each file, contents never read;
// links are shown with their targets and never followed.
std::string rootListing(const fs::path& root)
{
    std::error_code error;
    if (!fs::is_directory(root, error))
        return "The root folder does not exist.\n";
    std::vector<std::string> lines;
    for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        const std::string path = it->path().lexically_relative(root).string();
        switch (it->symlink_status(error).type()) {
        case fs::file_type::directory:
            lines.push_back(path + "/");
            break;
        case fs::file_type::regular:
            lines.push_back(path + "\t" + std::to_string(it->file_size(error)));
            break;
        case fs::file_type::symlink:
            lines.push_back(path + " -> " + fs::read_symlink(it->path(), error).string());
            break;
        default:
            lines.push_back(path + "\t(special file)");
        }
    }
    std::ranges::sort(lines);
    std::string listing;
    for (const std::string& line : lines)
        listing += line + '\n';
    if (error)
        listing += "(the listing ends early: " + error.message() + ")\n";
    return listing;
}

// The files of the launcher's own logs folder; a link in its place leads to
// somebody else's files, which are not the launcher's to send.
std::vector<fs::path> logFiles(const fs::path& logs)
{
    std::vector<fs::path> files;
    std::error_code error;
    if (!fs::is_directory(fs::symlink_status(logs, error)))
        return files;
    for (fs::directory_iterator it(logs, error), end; !error && it != end; it.increment(error))
        if (it->symlink_status(error).type() == fs::file_type::regular)
            files.push_back(it->path());
    std::ranges::sort(files);
    return files;
}

// TMPDIR when it names a folder, /tmp otherwise: a variable that points
// nowhere must not keep the player from sending a report.
fs::path temporaryFolder()
{
    std::error_code error;
    const fs::path folder = fs::temp_directory_path(error);
    return !error && fs::is_directory(folder, error) ? folder : fs::path("/tmp");
}

[[noreturn]] void throwTaken(const fs::path& archive)
{
    throw SetupFailure(archive.string() + " already exists. Choose a new name for the diagnostics archive.");
}

[[noreturn]] void throwCannotWrite(const fs::path& archive, const std::error_code& reason)
{
    throw SetupFailure("The diagnostics archive could not be written to " + archive.string() + ": " +
                       reason.message() + ". Choose a folder you can write to.");
}

} // namespace

void writeDiagnostics(const Installation& installation, const fs::path& archive)
{
    if (fs::exists(fs::symlink_status(archive)))
        throwTaken(archive);
    // Told before the report is made, not after.
    std::error_code unused;
    const fs::file_status place = fs::status(fs::absolute(archive).parent_path(), unused);
    if (!fs::is_directory(place))
        throwCannotWrite(archive, std::make_error_code(fs::exists(place) ? std::errc::not_a_directory
                                                                         : std::errc::no_such_file_or_directory));

    const HomeFolderMask mask = HomeFolderMask::forPlayer(installation.layout());
    // Outside the root, so that a report can be made while the game runs, and of a root that is gone.
    const StagingFolder staging(temporaryFolder(), "veyra2-diagnostics-");
    const fs::path folder = staging.path() / "members";
    fs::create_directories(folder / "logs");
    std::vector<std::string> members;
    // `name` is masked where it comes from the player's files.
    auto store = [&](const std::string& name, std::string_view maskedText) {
        writeFileAtomically(folder / name, maskedText);
        members.push_back(name);
    };
    // The logs as the player left them: read before the report, whose verification
    // runs the runtime and so adds to the setup log.
    std::vector<std::pair<std::string, std::string>> tails;
    if (fs::is_regular_file(fs::symlink_status(installation.record())))
        tails.emplace_back("installed.json", tail(installation.record(), kLogTail));
    for (const fs::path& log : logFiles(installation.layout().logs()))
        tails.emplace_back("logs/" + mask.apply(log.filename().string()), tail(log, kLogTail));

    store("report.txt", mask.apply(diagnosticsReport(installation)));
    for (const auto& [member, text] : tails)
        store(member, mask.apply(text));
    store("root-listing.txt", mask.apply(rootListing(installation.root())));

    const fs::path zip = staging.path() / "diagnostics.zip";
    installation.archiveTool().createZip(zip, folder, members);
    try {
        copyFile(zip, archive);
    } catch (const std::system_error& failure) {
        // Another program may have taken the name meanwhile.
        if (failure.code() == std::errc::file_exists)
            throwTaken(archive);
        throwCannotWrite(archive, failure.code());
    }
}

} // namespace launcher
