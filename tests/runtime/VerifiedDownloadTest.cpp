#include "runtime/VerifiedDownload.h"
#include "core/FileDigest.h"
#include "core/Installation.h"
#include "core/SetupFailure.h"
#include "core/StopRequest.h"
#include "support/LocalHttpsServer.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "support/Unprivileged.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::fixture;
using testing::LocalHttpsServer;
using testing::readFile;
using testing::ScopedEnvironmentVariable;
using testing::TemporaryFolder;
using testing::writeFile;

constexpr const char* kChecksumFailure =
    "The runtime download failed checksum verification. Nothing from that download was run.";

std::string curlFailure(int status)
{
    return "curl failed (" + std::to_string(status)
         + "). Open the setup log for details. If antivirus quarantined a file, review its report before retrying.";
}

std::string failureOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const SetupFailure& failure) {
        return failure.what();
    }
    return "no failure";
}

TEST(FileDigest, IsTheLowerCaseHexSha256OfTheWholeFile)
{
    const TemporaryFolder folder;
    struct Case {
        std::string content;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // One byte past the first 1 MiB read.
        {std::string(1 << 20, 'a') + "b", "371264331be3a89bb42c4fea3770469e9094f6ce8c8244b9ac2beb9ffd80e621"},
    };
    for (const Case& c : cases) {
        writeFile(folder / "file", c.content);
        EXPECT_EQ(sha256Of(folder / "file"), c.digest) << c.content.size() << " bytes";
    }
    EXPECT_THROW(sha256Of(folder / "missing"), fs::filesystem_error);
    EXPECT_THROW(sha256Of(folder.path()), fs::filesystem_error);
}

// A root, the fixture engine archive as the asset, and a folder that a local
// HTTPS server can serve it from as "/releases/<name>".
class VerifiedDownload : public ::testing::Test {
protected:
    VerifiedDownload()
    {
        m_asset.url = "https://127.0.0.1:1/releases/" + m_asset.name; // nothing listens there
        writeFile(served() / "releases" / m_asset.name, m_archive);
        fs::create_directories(prefetched());
    }

    fs::path root() const { return m_folder / "root"; }
    fs::path downloads() const { return root() / "Downloads"; }
    fs::path cached() const { return downloads() / m_asset.name; }
    fs::path partial() const { return downloads() / (m_asset.name + ".partial"); }
    fs::path served() const { return m_folder / "served"; }
    fs::path prefetched() const { return m_folder / "prefetched"; }

    // The asset as `server` serves it at `path`.
    RuntimeAsset servedAsset(const LocalHttpsServer& server, const std::string& path) const
    {
        RuntimeAsset asset = m_asset;
        asset.url = server.url(path);
        return asset;
    }

    fs::path obtain(const RuntimeAsset& asset, const std::optional<fs::path>& cache = std::nullopt) const
    {
        return launcher::obtain(Installation(root(), {}, m_host), asset, cache);
    }

    // Downloads with a progress report, collecting the progress in m_progress.
    void obtainWatched(const RuntimeAsset& asset, DownloadShare share = {})
    {
        const Installation installation(
            root(), {}, m_host, Constants::builtIn(),
            {.progress = [this](const Progress& progress) { m_progress.push_back(progress); }});
        launcher::obtain(installation, asset, std::nullopt, share);
    }

    TemporaryFolder m_folder;
    Host m_host = testing::testHost();
    RuntimeAsset m_asset = Constants::builtIn().engine;
    std::string m_archive = readFile(fixture("runtime/prefetched/" + m_asset.name));
    std::string m_releasePath = "/releases/" + m_asset.name;
    std::vector<Progress> m_progress;
};

// The fixture engine archive is about 50 kB, so a slowed server makes its
// download last a few seconds, long enough to be watched (curl writes the
// partial file in blocks of 4 KiB).
constexpr std::uint64_t kSlowRate = 24'000;

TEST_F(VerifiedDownload, DownloadsVerifiesAndKeepsTheArchiveForLaterSetups)
{
    LocalHttpsServer server(served(), 0, {{"/moved", m_releasePath}});
    const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());

    for (const std::string& path : {m_releasePath, std::string("/moved")}) {
        SCOPED_TRACE(path);
        fs::remove_all(downloads());
        // An empty pre-fetched folder leads to the download as well.
        EXPECT_EQ(obtain(servedAsset(server, path), prefetched()), cached());
        EXPECT_EQ(readFile(cached()), m_archive);
        EXPECT_FALSE(fs::exists(partial()));
    }

    server.stop();
    EXPECT_EQ(obtain(servedAsset(server, m_releasePath)), cached()) << "the verified cache file is used without a download";
    EXPECT_EQ(readFile(cached()), m_archive);
}

TEST_F(VerifiedDownload, ReplacesAMismatchingCacheFileAndALeftoverPartialFile)
{
    LocalHttpsServer server(served());
    const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());
    writeFile(cached(), "stale");
    writeFile(partial(), std::string(2 * m_archive.size(), 'x'));

    EXPECT_EQ(obtain(servedAsset(server, m_releasePath)), cached());
    EXPECT_EQ(readFile(cached()), m_archive);
    EXPECT_FALSE(fs::exists(partial()));
}

// A download that ends without a verdict on its bytes keeps them for the next
// attempt; a body that fails its pin leaves nothing.
TEST_F(VerifiedDownload, FailedDownloadsLeaveNoCacheFileAndAPartialFileOnlyWithoutAVerdict)
{
    LocalHttpsServer server(served(), 0, {{"/plain", "http://127.0.0.1" + m_releasePath}});
    const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());
    RuntimeAsset wrongBody = servedAsset(server, m_releasePath);
    wrongBody.sha256 = Constants::builtIn().libraries.sha256;

    struct Case {
        const char* name;
        RuntimeAsset asset;
        std::string failure;
        bool keepsPartial;
    };
    const Case cases[] = {
        {"HTTP 404", servedAsset(server, "/releases/missing.tar.xz"), curlFailure(22), false},
        {"redirect to plain HTTP", servedAsset(server, "/plain"), curlFailure(1), true},
        {"body with another digest", wrongBody, kChecksumFailure, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(cached(), "stale");
        writeFile(partial(), "left over");
        EXPECT_EQ(failureOf([&] { obtain(c.asset); }), c.failure);
        EXPECT_FALSE(fs::exists(cached()));
        if (c.keepsPartial)
            EXPECT_EQ(readFile(partial()), "left over");
        else
            EXPECT_FALSE(fs::exists(partial()));
    }
}

TEST_F(VerifiedDownload, ReportsGrowingBytesOfAllArchivesTogetherWhileTheDownloadRuns)
{
    LocalHttpsServer server(served(), 0, {}, {.bytesPerSecond = kSlowRate});
    const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());
    const std::uint64_t before = 5000;
    const std::uint64_t total = before + m_archive.size();

    obtainWatched(servedAsset(server, m_releasePath), {.before = before, .total = total});
    EXPECT_EQ(readFile(cached()), m_archive);

    ASSERT_GE(m_progress.size(), 3u);
    std::size_t increases = 0;
    for (std::size_t i = 0; i < m_progress.size(); ++i) {
        const Progress& progress = m_progress[i];
        ASSERT_TRUE(progress.bytes);
        EXPECT_GE(*progress.bytes, before);
        EXPECT_LE(*progress.bytes, total);
        EXPECT_EQ(progress.expected, total);
        EXPECT_TRUE(progress.fraction());
        if (i > 0) {
            EXPECT_GE(*progress.bytes, *m_progress[i - 1].bytes);
            increases += *progress.bytes > *m_progress[i - 1].bytes;
        }
    }
    EXPECT_GE(increases, 2u);
    EXPECT_TRUE(m_progress.back().bytesPerSecond);
}

TEST_F(VerifiedDownload, AStalledDownloadIsStoppedAfterTheStallLimitAndKeepsWhatArrived)
{
    const std::uint64_t sent = 20'000;
    LocalHttpsServer server(served(), 0, {}, {.stalls = {{m_releasePath, sent}}});
    const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());
    const std::chrono::seconds limit = Constants::builtIn().downloadStallLimit;

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(failureOf([&] { obtainWatched(servedAsset(server, m_releasePath)); }),
              "The download of the compatibility runtime stopped: no data arrived for " + std::to_string(limit.count())
                  + " seconds. Check your internet connection, then try again.");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, limit);
    // Long before curl's own time budget ends, with room for a loaded machine.
    EXPECT_LT(elapsed, limit + std::chrono::seconds(10));
    // Every byte received is on disk at once, for the watch and for the next attempt.
    EXPECT_EQ(readFile(partial()), m_archive.substr(0, sent));
    EXPECT_FALSE(fs::exists(cached()));
    ASSERT_FALSE(m_progress.empty());
    EXPECT_EQ(*m_progress.back().bytes, sent);
}

TEST_F(VerifiedDownload, ADownloadGrowingPastTwiceItsExpectedSizeIsStopped)
{
    const std::uint64_t rate = kSlowRate / 2;
    LocalHttpsServer server(served(), 0, {}, {.bytesPerSecond = rate});
    const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());
    RuntimeAsset small = servedAsset(server, m_releasePath);
    small.expectedSize = 10'000;
    ASSERT_GT(m_archive.size(), 2 * small.expectedSize + rate) << "the download must outlast the limit by a second";

    EXPECT_EQ(failureOf([&] { obtainWatched(small); }),
              "The download of the compatibility runtime is larger than expected. Try again later.");
    EXPECT_FALSE(fs::exists(partial()));
    EXPECT_FALSE(fs::exists(cached()));
    // Past its expected size the file shows bytes without a fraction.
    bool pastExpected = false;
    for (const Progress& progress : m_progress) {
        EXPECT_EQ(progress.fraction().has_value(), *progress.bytes <= small.expectedSize) << *progress.bytes;
        pastExpected |= *progress.bytes > small.expectedSize;
    }
    EXPECT_TRUE(pastExpected);
}

TEST_F(VerifiedDownload, ADroppedConnectionIsResumedFetchingOnlyTheMissingBytes)
{
    LocalHttpsServer server(served(), 0, {}, {.bytesPerSecond = kSlowRate, .dropFirstHalfway = true});
    const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());

    obtainWatched(servedAsset(server, m_releasePath));
    EXPECT_EQ(readFile(cached()), m_archive);
    EXPECT_FALSE(fs::exists(partial()));
    EXPECT_EQ(server.bytesServed(), m_archive.size()) << server.output();
    const auto reconnecting = std::find_if(m_progress.begin(), m_progress.end(), [](const Progress& progress) {
        return progress.activity == "reconnecting (1 of 5)";
    });
    ASSERT_NE(reconnecting, m_progress.end());
    // After the reconnect the bar goes on from the bytes already there.
    const auto resumed = std::find_if(reconnecting, m_progress.end(), [](const Progress& p) { return p.bytes.has_value(); });
    ASSERT_NE(resumed, m_progress.end());
    EXPECT_GE(*resumed->bytes, m_archive.size() / 2);
}

// What an earlier attempt left in the partial file, and how the server answers
// a request for the rest: the download always ends with the right file and no
// failure, fetching again only what it must.
TEST_F(VerifiedDownload, ALeftoverPartialFileIsResumedOrStartedAgainAsTheServerAllows)
{
    using Ranges = LocalHttpsServer::Pace::Ranges;
    const std::size_t size = m_archive.size();
    const std::size_t half = size / 2;
    struct Case {
        const char* name;
        std::string leftover;
        Ranges ranges;
        std::uint64_t served;
        bool resumes;
        bool readOnly = false;
    };
    const Case cases[] = {
        {"first half, ranges honoured", m_archive.substr(0, half), Ranges::Honour, size - half, true},
        {"first half, ranges ignored", m_archive.substr(0, half), Ranges::Ignore, 2 * size, true},
        {"first half, ranges refused with 416", m_archive.substr(0, half), Ranges::Refuse, size, true},
        {"wrong bytes, fetched once more from zero", std::string(half, 'x'), Ranges::Honour, (size - half) + size, true},
        {"the whole file, answered with 416", m_archive, Ranges::Honour, size, true},
        {"past twice the expected size", std::string(2 * size + 1, 'x'), Ranges::Honour, size, false},
        {"first half, read-only", m_archive.substr(0, half), Ranges::Honour, size, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(downloads());
        writeFile(partial(), c.leftover);
        if (c.readOnly)
            fs::permissions(partial(), fs::perms::owner_read);
        LocalHttpsServer server(served(), 0, {}, {.ranges = c.ranges});
        const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());
        std::vector<std::string> lines;
        const Installation installation(
            root(), [&lines](const std::string& line) { lines.push_back(line); }, m_host);

        EXPECT_EQ(failureOf([&] {
                      EXPECT_EQ(launcher::obtain(installation, servedAsset(server, m_releasePath), std::nullopt),
                                cached());
                  }),
                  "no failure");
        EXPECT_EQ(readFile(cached()), m_archive);
        EXPECT_FALSE(fs::exists(partial()));
        EXPECT_EQ(server.bytesServed(), c.served) << server.output();
        if (c.resumes)
            EXPECT_EQ(lines, std::vector<std::string>{"Resuming the download: " + amountOf(c.leftover.size(), size)
                                                      + " already here."});
        else
            EXPECT_TRUE(lines.empty());
    }
}

// The partial file's name is the launcher's own in its own folder: whatever
// else stands there goes, never written through or waited on, and the download
// starts afresh without a word to the player.
TEST_F(VerifiedDownload, AnythingButARegularFileAtThePartialFilesPlaceGoesAndTheDownloadStartsAfresh)
{
    LocalHttpsServer server(served());
    const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());
    const fs::path outside = m_folder / "outside.bin";
    const fs::path nowhere = m_folder / "nowhere.bin";
    // The archive's first bytes, which a download resumed through the link would complete.
    const std::string outsideBytes = m_archive.substr(0, m_archive.size() / 2);
    struct Case {
        const char* name;
        std::function<void()> make;
    };
    const Case cases[] = {
        {"a link to a file outside holding the archive's first bytes", [&] {
             writeFile(outside, outsideBytes);
             fs::create_symlink(outside, partial());
         }},
        {"a link to nothing", [&] { fs::create_symlink(nowhere, partial()); }},
        {"a named pipe", [&] { ASSERT_EQ(::mkfifo(partial().c_str(), 0644), 0); }},
        {"a folder", [&] { writeFile(partial() / "inside.bin", "left there"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(downloads());
        fs::create_directories(downloads());
        c.make();
        std::vector<std::string> lines;
        const Installation installation(
            root(), [&lines](const std::string& line) { lines.push_back(line); }, m_host);

        EXPECT_EQ(failureOf([&] { launcher::obtain(installation, servedAsset(server, m_releasePath), std::nullopt); }),
                  "no failure");
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(cached())));
        EXPECT_EQ(readFile(cached()), m_archive);
        EXPECT_FALSE(fs::exists(fs::symlink_status(partial())));
        EXPECT_EQ(lines, std::vector<std::string>{}) << "nothing was resumed";
        EXPECT_FALSE(fs::exists(nowhere));
        if (fs::exists(outside)) {
            EXPECT_EQ(readFile(outside), outsideBytes);
        }
    }
}

// The player's own curl settings ($CURL_HOME/.curlrc, else ~/.curlrc) never
// reach the launcher's downloads; these would end every one of them.
TEST_F(VerifiedDownload, ThePlayersCurlSettingsAreNotRead)
{
    LocalHttpsServer server(served());
    const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());
    writeFile(m_folder / "curl-home/.curlrc", "max-filesize = 100\n");
    const ScopedEnvironmentVariable curlHome("CURL_HOME", (m_folder / "curl-home").string());

    EXPECT_EQ(failureOf([&] { EXPECT_EQ(obtain(servedAsset(server, m_releasePath)), cached()); }), "no failure");
    EXPECT_EQ(readFile(cached()), m_archive);
}

TEST_F(VerifiedDownload, AStopKeepsThePartialFileAndTheNextAttemptFetchesOnlyTheRest)
{
    LocalHttpsServer server(served(), 0, {}, {.bytesPerSecond = kSlowRate});
    const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());
    const StopRequest stop;
    const Installation stopped(root(), {}, m_host, Constants::builtIn(),
                               {.progress =
                                    [&stop](const Progress& progress) {
                                        if (progress.bytes && *progress.bytes >= 10'000)
                                            stop.request();
                                    },
                                .stop = stop});
    EXPECT_THROW(launcher::obtain(stopped, servedAsset(server, m_releasePath), std::nullopt), SetupStopped);
    const std::string kept = readFile(partial());
    ASSERT_GE(kept.size(), 10'000u);
    EXPECT_EQ(kept, m_archive.substr(0, kept.size()));

    const std::uint64_t servedBefore = server.bytesServed();
    EXPECT_EQ(obtain(servedAsset(server, m_releasePath)), cached());
    EXPECT_EQ(readFile(cached()), m_archive);
    EXPECT_EQ(server.bytesServed() - servedBefore, m_archive.size() - kept.size());
}

// A connection that keeps dropping is taken up again: up to five attempts in a
// row that bring no new bytes, and an attempt that brought bytes starts the
// count again.
TEST_F(VerifiedDownload, ReconnectsUntilFiveAttemptsInARowBringNothing)
{
    const fs::path dropping = root().parent_path() / "dropping";
    struct Case {
        int bringingBytes;
        int runs;
    };
    for (const Case c : {Case{0, 5}, Case{3, 8}}) {
        SCOPED_TRACE(c.bringingBytes);
        fs::remove_all(root());
        // Each run drops the connection (56, a receive error); the first ones
        // bring a byte each. The output file is the second-last argument.
        writeFile(dropping, "#!/bin/sh\nwhile [ \"$#\" -gt 2 ]; do shift; done\necho run >> \"$0.runs\"\n"
                            "if [ \"$(wc -l < \"$0.runs\")\" -le "
                                + std::to_string(c.bringingBytes) + " ]; then printf x >> \"$1\"; fi\nexit 56\n");
        fs::remove(dropping.string() + ".runs");
        fs::permissions(dropping, fs::perms::owner_all);
        m_host.downloadTool = dropping;
        m_progress.clear();

        EXPECT_EQ(failureOf([&] { obtainWatched(m_asset); }),
                  "dropping failed (56). Open the setup log for details. If antivirus quarantined a file, review its "
                  "report before retrying.");
        EXPECT_EQ(readFile(dropping.string() + ".runs").size(), 4u * c.runs);
        if (c.bringingBytes > 0) {
            EXPECT_EQ(readFile(partial()), std::string(c.bringingBytes, 'x'));
        }
        std::vector<std::string> waits;
        for (const Progress& progress : m_progress)
            if (!progress.activity.empty() && (waits.empty() || waits.back() != progress.activity))
                waits.push_back(progress.activity);
        std::vector<std::string> expected(c.bringingBytes, "reconnecting (1 of 5)");
        for (const char* wait :
             {"reconnecting (2 of 5)", "reconnecting (3 of 5)", "reconnecting (4 of 5)", "reconnecting (5 of 5)"})
            expected.emplace_back(wait);
        if (c.bringingBytes > 0)
            expected.erase(expected.begin() + 1, expected.begin() + c.bringingBytes); // one run of equal waits
        EXPECT_EQ(waits, expected);
    }
}

// No limit on the transfer's duration: a slow link finishes too.
TEST_F(VerifiedDownload, RunsCurlWithExactlyItsArgumentsAndNoTimeLimit)
{
    const fs::path recorder = root().parent_path() / "recorder";
    writeFile(recorder, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.arguments\"\nexit 3\n");
    fs::permissions(recorder, fs::perms::owner_all);
    m_host.downloadTool = recorder;

    EXPECT_EQ(failureOf([&] { obtain(m_asset); }),
              "recorder failed (3). Open the setup log for details. If antivirus quarantined a file, review its "
              "report before retrying.");
    EXPECT_EQ(readFile(recorder.string() + ".arguments"),
              "--disable\n--fail\n--location\n--silent\n--show-error\n--retry\n2\n--proto\n=https\n--proto-redir\n=https\n"
              "--connect-timeout\n20\n--no-buffer\n--continue-at\n-\n--output\n"
                  + partial().string() + "\n" + m_asset.url + "\n");
}

TEST_F(VerifiedDownload, PrefetchedFolderServesAsTheSourceOnlyWhenItsCopyMatchesAndOnlyThatCopyLosesItsQuarantine)
{
    // Any attempt to download fails with the platform's error, not a SetupFailure.
    m_host.downloadTool = root().parent_path() / "no-curl";
    const RuntimeAsset& asset = m_asset;
    auto withPin = [&](std::string pin) {
        RuntimeAsset changed = asset;
        changed.sha256 = std::move(pin);
        return changed;
    };
    std::string upperCasePin = asset.sha256;
    for (char& c : upperCasePin)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    struct Case {
        const char* name;
        std::optional<std::string> inDownloads;
        std::string inPrefetched;
        RuntimeAsset asset;
        std::string failure;
    };
    const std::string verificationFailure = "The cached " + asset.name + " failed verification.";
    const Case cases[] = {
        {"prefetched copy matches", std::nullopt, m_archive, asset, "no failure"},
        {"cache file replaced by the prefetched copy", "stale", m_archive, asset, "no failure"},
        {"cache file wins, prefetched file unread", m_archive, "wrong", asset, "no failure"},
        {"prefetched copy mismatches", std::nullopt, "wrong", asset, verificationFailure},
        {"empty pin", std::nullopt, m_archive, withPin(""), verificationFailure},
        {"upper-case pin", std::nullopt, m_archive, withPin(upperCasePin), verificationFailure},
    };
    // The mark a browser leaves on the player's file is lifted from the
    // launcher's own copy alone, and only once that copy matched its pin.
    std::vector<std::pair<fs::path, std::string>> lifted;
    m_host.liftQuarantine = [&](const fs::path& file) { lifted.emplace_back(file, readFile(file)); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(downloads());
        lifted.clear();
        if (c.inDownloads)
            writeFile(cached(), *c.inDownloads);
        writeFile(prefetched() / asset.name, c.inPrefetched);

        EXPECT_EQ(failureOf([&] { EXPECT_EQ(obtain(c.asset, prefetched()), cached()); }), c.failure);
        if (c.failure == "no failure") {
            EXPECT_EQ(readFile(cached()), m_archive);
            EXPECT_EQ(lifted, (std::vector<std::pair<fs::path, std::string>>{{cached(), m_archive}}));
        } else {
            EXPECT_FALSE(fs::exists(cached()));
            EXPECT_TRUE(lifted.empty());
        }
        EXPECT_FALSE(fs::exists(partial()));
        EXPECT_EQ(readFile(prefetched() / asset.name), c.inPrefetched) << "the pre-fetched file is left as it was";
    }
}

// A named pipe in the place of an archive must fail at once, not stall setup.
TEST_F(VerifiedDownload, ANamedPipeInPlaceOfAnArchiveIsTheFileSystemsErrorAndStays)
{
    m_host.downloadTool = root().parent_path() / "no-curl";
    fs::create_directories(downloads());
    for (const fs::path& pipe : {cached(), prefetched() / m_asset.name}) {
        SCOPED_TRACE(pipe.string());
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
        EXPECT_THROW(obtain(m_asset, prefetched()), fs::filesystem_error);
        EXPECT_TRUE(fs::is_fifo(pipe));
        EXPECT_FALSE(fs::exists(partial()));
        fs::remove(pipe);
    }
}

// A pre-fetched file copied with its read-only mode, left over by an interrupted
// run, must not make the next setup fail.
TEST_F(VerifiedDownload, AReadOnlyLeftoverPartialFileDoesNotStopAPlayersNextRun)
{
    const fs::path players = testing::playersFolder(m_folder / "players");
    writeFile(prefetched() / m_asset.name, m_archive);
    fs::permissions(prefetched() / m_asset.name, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Installation installation(players, {}, m_host);
    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] {
                    const fs::path partial = players / "Downloads" / (m_asset.name + ".partial");
                    writeFile(partial, "interrupted");
                    fs::permissions(partial, fs::perms::owner_read);
                    launcher::obtain(installation, m_asset, prefetched());
                    throw std::runtime_error(readFile(players / "Downloads" / m_asset.name) == m_archive
                                                 ? "obtained"
                                                 : "another file");
                }),
                ::testing::ExitedWithCode(0), "^obtained\n$");
}

} // namespace
} // namespace launcher
