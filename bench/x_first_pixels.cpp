// Times a program's start from outside it, at the X server: starts the
// command given, watches the root window for the top-level windows it
// creates, and reports when the first of them is mapped, when the first
// pixels are drawn into a mapped one, and when the drawing settles: the last
// drawing before the mapped windows stay unchanged for a quiet spell (the
// DAMAGE extension), then ends the program.
//
//   x_first_pixels [--keep-ms N] [--quiet-ms N] command [args...]
//
// The settled frame is the one the user can work with: a program that shows
// its window first and enables its commands once its data are loaded draws
// again then, and that drawing is the one that counts. A drawing no more than
// two pixels wide or high (a blinking text cursor) does not count as a
// change. The quiet spell is 500 ms unless --quiet-ms says otherwise.
//
// Prints one line "map_ms first_pixels_ms usable_ms", all counted from just
// before the command starts, and exits 0; exits 2 when no window shows or the
// drawing does not settle within ten seconds, 3 without an X server or its
// DAMAGE extension (1 when the server is there but no command was given).
// Needs DISPLAY; the program's own output goes to /dev/null.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <fcntl.h>
#include <poll.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

extern char** environ;

namespace {

double NowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

pid_t Start(char** argv) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    int keepMs = 0;     // how long the program stays up once settled
    int quietMs = 500;  // how long the windows stay unchanged to be settled
    while (first + 1 < argc && std::strncmp(argv[first], "--", 2) == 0) {
        if (std::strcmp(argv[first], "--keep-ms") == 0)
            keepMs = std::atoi(argv[first + 1]);
        else if (std::strcmp(argv[first], "--quiet-ms") == 0)
            quietMs = std::max(1, std::atoi(argv[first + 1]));
        else
            break;
        first += 2;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (!c || xcb_connection_has_error(c)) {
        std::fprintf(stderr, "x_first_pixels: no X server (DISPLAY)\n");
        return 3;
    }
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_damage_id);
    if (!ext || !ext->present) {
        std::fprintf(stderr, "x_first_pixels: the X server has no DAMAGE extension\n");
        return 3;
    }
    // Without a command: only whether the server is there (exit 1, not 3).
    if (first >= argc) {
        std::fprintf(stderr, "usage: x_first_pixels [--keep-ms N] [--quiet-ms N] command [args...]\n");
        return 1;
    }
    free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    const uint8_t damageNotify = ext->first_event + XCB_DAMAGE_NOTIFY;
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    const double start = NowMs();
    const pid_t pid = Start(argv + first);
    if (pid < 0) {
        std::fprintf(stderr, "x_first_pixels: cannot start %s\n", argv[first]);
        return 1;
    }
    // Every top-level window gets a damage object as it is created, so that
    // no drawing after its mapping can come before the watch. Each drawn
    // rectangle is reported, so that the last one is known.
    std::set<xcb_window_t> mapped;
    double mapMs = -1, pixelsMs = -1, lastMs = -1;
    pollfd pfd{xcb_get_file_descriptor(c), POLLIN, 0};
    for (;;) {
        const double now = NowMs() - start;
        if (pixelsMs >= 0 && now - lastMs >= quietMs) break;
        if (now >= 10000) {
            lastMs = -1;
            break;
        }
        xcb_generic_event_t* e = xcb_poll_for_event(c);
        if (!e) {
            if (xcb_connection_has_error(c)) break;
            const double wait = pixelsMs >= 0 ? lastMs + quietMs - now : 100;
            poll(&pfd, 1, std::clamp(static_cast<int>(wait) + 1, 1, 100));
            continue;
        }
        const double at = NowMs() - start;
        const uint8_t type = e->response_type & 0x7F;
        if (type == XCB_CREATE_NOTIFY) {
            auto* ce = reinterpret_cast<xcb_create_notify_event_t*>(e);
            if (ce->parent == root) {
                xcb_damage_create(c, xcb_generate_id(c), ce->window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
                xcb_flush(c);
            }
        } else if (type == XCB_MAP_NOTIFY) {
            auto* me = reinterpret_cast<xcb_map_notify_event_t*>(e);
            if (me->event == root) {
                mapped.insert(me->window);
                if (mapMs < 0) mapMs = at;
            }
        } else if (type == damageNotify) {
            auto* de = reinterpret_cast<xcb_damage_notify_event_t*>(e);
            if (mapped.count(de->drawable)) {
                if (pixelsMs < 0) pixelsMs = lastMs = at;
                if (de->area.width > 2 && de->area.height > 2) lastMs = at;
            }
        }
        free(e);
    }
    if (keepMs > 0 && lastMs >= 0) usleep(static_cast<useconds_t>(keepMs) * 1000);
    Stop(pid);
    xcb_disconnect(c);
    if (pixelsMs < 0) {
        std::fprintf(stderr, "x_first_pixels: no window drawn within ten seconds\n");
        return 2;
    }
    if (lastMs < 0) {
        std::fprintf(stderr, "x_first_pixels: the drawing did not settle within ten seconds\n");
        return 2;
    }
    std::printf("%.3f %.3f %.3f\n", mapMs, pixelsMs, lastMs);
    return 0;
}
