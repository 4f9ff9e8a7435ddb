#include "app/DiagnosticsReport.h"

#include "app/DiagnosticsVerification.h"
#include "app/ReadableSize.h"
#include "core/Platform.h"
#include "core/StopRequest.h"
#include "saves/SaveSnapshot.h"
#include "saves/SavesRestore.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <exception>
#include <functional>
#include <sstream>
#include <vector>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// A report is wanted most when something is broken, so each part that fails
// shows its failure and the report goes on.
std::string orFailure(const std::function<std::string()>& part)
{
    try {
        return part();
    } catch (const SetupStopped&) {
        throw;
    } catch (const std::exception& failure) {
        return std::string("unknown (") + failure.what() + ")";
    }
}

std::string utcNow()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
    return text;
}

std::string freeSpace(const Installation& installation)
{
    // The root may not exist yet; its volume is that of the nearest folder that does.
    fs::path folder = installation.root();
    while (!fs::exists(folder) && folder.has_relative_path())
        folder = folder.parent_path();
    const std::optional<std::uintmax_t> available = installation.host().availableSpace(folder);
    if (!available)
        return "not reported by the volume";
    return readableSize(*available) + " (" + std::to_string(*available) + " bytes)";
}

std::string snapshots(const Installation& installation)
{
    std::ostringstream lines;
    for (const SaveSnapshot& snapshot : saveSnapshots(installation))
        lines << "  " << snapshot.name << ": " << snapshot.files << " files, " << snapshot.bytes << " bytes"
              << (snapshot.kept ? ", kept" : "") << '\n';
    const std::string text = lines.str();
    return text.empty() ? "  none\n" : text;
}

} // namespace

std::string diagnosticsReport(const Installation& installation)
{
    std::ostringstream report;
    report << "Veyra 2 Mac Launcher diagnostics\n"
           << "Written: " << utcNow() << '\n'
           << "Launcher version: " << installation.constants().version << '\n'
           << "System: " << orFailure(platform::systemDescription) << '\n'
           << "Root folder: " << installation.root().string() << '\n'
           << "Free space: " << orFailure([&] { return freeSpace(installation); }) << "\n\n";

    const std::vector<InstallationCheck> checks = installation.installationChecks();
    report << "Installation: " << (std::ranges::all_of(checks, &InstallationCheck::passed) ? "complete" : "incomplete")
           << '\n';
    for (const InstallationCheck& check : checks)
        report << "  " << check.what << ": " << (check.passed ? "ok" : "failed") << '\n';

    report << "\nVerify report:\n";
    for (const std::string& line : verificationLines(installation))
        report << "  " << line << '\n';

    std::string listed = orFailure([&] { return snapshots(installation); });
    if (!listed.ends_with('\n'))
        listed = "  " + listed + "\n";
    report << "\nSave snapshots:\n" << listed;
    return report.str();
}

} // namespace launcher
