// What the English translation costs at start: the desktop program started
// again and again as a child, alternately in Russian (no translator, the
// catalogues' own texts) and in English (the .qm loaded, every text looked
// up), each timed from its spawn to its main window drawn, with its
// resident memory then. Prints the medians and their ratios, English to
// Russian (target 1.05 or less each).
//   bench_language [ROUNDS]   (default 15 of each)
#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "Desktop.h"
#include "Language.h"
#include "MainWindow.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

// The child: the window built and drawn in `language`, then its memory.
int Child(int argc, char** argv, tovrel::texts::Language language) {
    QApplication app(argc, argv);
    if (!tovrel::ui::ApplyLanguage(app, language)) return 3;
    {
        tovrel::ui::Desktop desktop;
        desktop.screen.dialogs_suppressed = true;
        auto& window = desktop.ShowMainWindow();
        QCoreApplication::processEvents();
        (void)window.grab();  // every page's first paint of the visible one
        std::printf("ready %ld\n", ResidentKb());
        std::fflush(stdout);
        desktop.Stop(-1);
    }
    return 0;
}

struct Run {
    double ms = 0;
    long rss_kb = 0;
};

bool Spawn(const char* self, const char* lang, Run& run) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    char* args[] = {const_cast<char*>(self), const_cast<char*>("--child"), const_cast<char*>(lang), nullptr};
    const auto t0 = Clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, self, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return false;
    }
    std::string out;
    char buf[256];
    ssize_t n = 0;
    double at_ready = -1;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) {
        out.append(buf, static_cast<std::size_t>(n));
        if (at_ready < 0 && out.find('\n') != std::string::npos)
            at_ready = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (at_ready < 0 || out.rfind("ready ", 0) != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    run.ms = at_ready;
    run.rss_kb = std::atol(out.c_str() + 6);
    return true;
}

template <class T>
T Median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
        const auto language = tovrel::texts::ParseLanguage(argv[2]);
        return language ? Child(argc, argv, *language) : 2;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // No ports: the window's start finds nothing at once.
    QTemporaryDir ports;
    ::setenv("TOVREL_PORT_DIR", ports.path().toLocal8Bit().constData(), 1);
    std::vector<double> ms[2];
    std::vector<long> kb[2];
    const char* langs[2] = {"ru", "en"};
    for (int r = 0; r < rounds; ++r) {
        for (int l = 0; l < 2; ++l) {
            // Alternated so that a slow moment of the machine hits both.
            Run run;
            if (!Spawn(argv[0], langs[(l + r) % 2], run)) {
                std::fprintf(stderr, "bench_language: a child failed (%s)\n", langs[(l + r) % 2]);
                return 1;
            }
            ms[(l + r) % 2].push_back(run.ms);
            kb[(l + r) % 2].push_back(run.rss_kb);
        }
    }
    const double ms_ru = Median(ms[0]), ms_en = Median(ms[1]);
    const long kb_ru = Median(kb[0]), kb_en = Median(kb[1]);
    std::printf("start to the main window drawn (median of %d): Russian %.1f ms, English %.1f ms, ratio %.3f (target <= 1.05)\n",
                rounds, ms_ru, ms_en, ms_en / ms_ru);
    std::printf("resident memory then (median): Russian %.1f MB, English %.1f MB, ratio %.3f (target <= 1.05)\n",
                kb_ru / 1024.0, kb_en / 1024.0, static_cast<double>(kb_en) / static_cast<double>(kb_ru));
    return 0;
}
