#include "harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> cArgv(const std::vector<std::string>& argv) {
    std::vector<char*> out;
    for (const auto& a : argv) out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    size_t start = 0;
    while (true) {
        size_t tab = line.find('\t', start);
        out.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return out;
        start = tab + 1;
    }
}

std::uint64_t num(const std::string& s) { return std::strtoull(s.c_str(), nullptr, 0); }
int inum(const std::string& s) { return static_cast<int>(std::strtol(s.c_str(), nullptr, 0)); }

Rect rectAt(const std::vector<std::string>& f, size_t i) {
    return Rect{inum(f.at(i)), inum(f.at(i + 1)), inum(f.at(i + 2)), inum(f.at(i + 3))};
}

// hwnd parent class text style exstyle visible l t r b id
ChildWindow parseChild(const std::vector<std::string>& f, size_t at) {
    if (f.size() < at + 12) throw std::runtime_error("winprobe: short window line");
    ChildWindow c;
    c.hwnd = num(f[at]);
    c.parent = num(f[at + 1]);
    c.cls = unescape(f[at + 2]);
    c.text = unescape(f[at + 3]);
    c.style = static_cast<std::uint32_t>(num(f[at + 4]));
    c.exStyle = static_cast<std::uint32_t>(num(f[at + 5]));
    c.visible = f[at + 6] == "1";
    c.rect = rectAt(f, at + 7);
    c.id = inum(f[at + 11]);
    return c;
}

std::string hexHwnd(Hwnd h) {
    std::ostringstream s;
    s << "0x" << std::hex << h;
    return s.str();
}

}  // namespace

Config& config() {
    static Config c;
    return c;
}

bool waitUntil(const std::function<bool()>& pred, Millis timeout, Millis interval) {
    auto deadline = Clock::now() + timeout;
    while (true) {
        if (pred()) return true;
        if (Clock::now() >= deadline) return pred();
        std::this_thread::sleep_for(interval);
    }
}

std::string toString(const Rect& r) {
    std::ostringstream s;
    s << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
    return s.str();
}

std::string unescape(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        char c = field[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

// ---------------------------------------------------------------- Process

Process::Process(const std::vector<std::string>& argv, bool pipes) {
    posix_spawn_file_actions_t fa;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&fa);
    posix_spawnattr_init(&attr);

    int toChild[2] = {-1, -1}, fromChild[2] = {-1, -1};
    if (pipes) {
        if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe2 failed");
        posix_spawn_file_actions_adddup2(&fa, toChild[0], 0);
        posix_spawn_file_actions_adddup2(&fa, fromChild[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    }

    // Own process group, so that teardown can kill whatever the child started;
    // default signal handling, since we ignore SIGPIPE ourselves.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);

    auto args = cArgv(argv);
    int rc = posix_spawnp(&pid_, args[0], &fa, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    posix_spawnattr_destroy(&attr);
    if (pipes) {
        close(toChild[0]);
        close(fromChild[1]);
        in_ = toChild[1];
        out_ = fromChild[0];
    }
    if (rc != 0) {
        pid_ = -1;
        if (in_ >= 0) close(in_);
        if (out_ >= 0) close(out_);
        in_ = out_ = -1;
        throw std::runtime_error("cannot start " + argv.at(0) + ": " + std::strerror(rc));
    }
}

Process::~Process() {
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
    kill();
}

bool Process::reap(int options) {
    if (exitCode_) return true;
    int status = 0;
    pid_t r = waitpid(pid_, &status, options);
    if (r == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
    }
    if (r < 0 && errno == ECHILD) {
        exitCode_ = -1;
        return true;
    }
    return false;
}

bool Process::running() { return pid_ > 0 && !reap(WNOHANG); }

std::optional<int> Process::waitExit(Millis timeout) {
    if (pid_ <= 0) return std::nullopt;
    waitUntil([&] { return reap(WNOHANG); }, timeout, 10ms);
    return exitCode_;
}

void Process::kill() {
    if (pid_ <= 0 || exitCode_) return;
    ::kill(-pid_, SIGKILL);
    reap(0);
}

bool Process::writeLine(const std::string& line) {
    std::string data = line + "\n";
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(in_, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

std::optional<std::string> Process::readLine(Millis timeout) {
    auto deadline = Clock::now() + timeout;
    while (true) {
        size_t nl = buffer_.find('\n');
        if (nl != std::string::npos) {
            std::string line = buffer_.substr(0, nl);
            buffer_.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
        if (left <= 0) return std::nullopt;
        pollfd pfd{out_, POLLIN, 0};
        int r = poll(&pfd, 1, static_cast<int>(left));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return std::nullopt;
        char chunk[4096];
        ssize_t n = ::read(out_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;  // the child closed its output
        buffer_.append(chunk, static_cast<size_t>(n));
    }
}

int runTool(const std::vector<std::string>& argv, Millis timeout, std::string* output) {
    try {
        Process p(argv, output != nullptr);
        if (output) {
            output->clear();
            while (auto line = p.readLine(timeout)) *output += *line + "\n";
        }
        auto code = p.waitExit(timeout);
        return code ? *code : -1;
    } catch (const std::exception&) {
        return -1;
    }
}

// ---------------------------------------------------------------- Probe

Probe::Probe() : process_({config().winerun, config().probe}, true) {
    // The first Wine start in a prefix can take a while.
    call("ping");
}

Probe::~Probe() {
    if (process_.writeLine("quit")) process_.readLine(2s);
    if (!process_.waitExit(3s)) process_.kill();
}

std::vector<std::string> Probe::call(const std::string& line) {
    if (!process_.writeLine(line)) throw std::runtime_error("winprobe has gone");
    auto answer = process_.readLine(30s);
    if (!answer) throw std::runtime_error("winprobe did not answer: " + line);
    auto fields = splitTabs(*answer);
    if (fields[0] != "ok") throw std::runtime_error("winprobe: " + *answer + " (for: " + line + ")");
    fields.erase(fields.begin());
    return fields;
}

std::vector<std::vector<std::string>> Probe::list(const std::string& line) {
    if (!process_.writeLine(line)) throw std::runtime_error("winprobe has gone");
    std::vector<std::vector<std::string>> rows;
    while (true) {
        auto answer = process_.readLine(30s);
        if (!answer) throw std::runtime_error("winprobe did not answer: " + line);
        if (*answer == "end") return rows;
        if (answer->rfind("err\t", 0) == 0) throw std::runtime_error("winprobe: " + *answer);
        rows.push_back(splitTabs(*answer));
    }
}

std::pair<int, int> Probe::screenSize() {
    auto f = call("screen");
    return {inum(f.at(0)), inum(f.at(1))};
}

std::vector<TopWindow> Probe::topWindows() {
    std::vector<TopWindow> out;
    // hwnd pid class title visible l t r b style exstyle owner
    for (const auto& f : list("top")) {
        if (f.size() < 12) throw std::runtime_error("winprobe: short top line");
        TopWindow w;
        w.hwnd = num(f[0]);
        w.pid = static_cast<unsigned>(num(f[1]));
        w.cls = unescape(f[2]);
        w.title = unescape(f[3]);
        w.visible = f[4] == "1";
        w.rect = rectAt(f, 5);
        w.style = static_cast<std::uint32_t>(num(f[9]));
        w.exStyle = static_cast<std::uint32_t>(num(f[10]));
        w.owner = num(f[11]);
        out.push_back(w);
    }
    return out;
}

std::optional<TopWindow> Probe::findTop(const std::string& cls, const std::string& title) {
    for (const auto& w : topWindows())
        if (w.visible && w.cls == cls && w.title == title) return w;
    return std::nullopt;
}

std::vector<ChildWindow> Probe::descendants(Hwnd root) {
    std::vector<ChildWindow> out;
    for (const auto& f : list("tree\t" + hexHwnd(root))) out.push_back(parseChild(f, 0));
    return out;
}

ChildWindow Probe::info(Hwnd h) { return parseChild(call("info\t" + hexHwnd(h)), 0); }

std::string Probe::text(Hwnd h) { return unescape(call("text\t" + hexHwnd(h)).at(0)); }

bool Probe::exists(Hwnd h) { return call("exists\t" + hexHwnd(h)).at(0) == "1"; }

FocusInfo Probe::focus(Hwnd h) {
    auto f = call("focus\t" + hexHwnd(h));
    return FocusInfo{num(f.at(0)), num(f.at(1)), num(f.at(2)), num(f.at(3))};
}

Rect Probe::client(Hwnd h) {
    auto f = call("client\t" + hexHwnd(h));
    return rectAt(f, 0);
}

TopWindow Probe::foreground() {
    auto f = call("foreground");
    TopWindow w;
    w.hwnd = num(f.at(0));
    w.pid = static_cast<unsigned>(num(f.at(1)));
    w.cls = unescape(f.at(2));
    w.title = unescape(f.at(3));
    return w;
}

bool Probe::waitForeground(Hwnd h, std::string* why, Millis timeout) {
    TopWindow fg;
    if (waitUntil([&] { return (fg = foreground()).hwnd == h; }, timeout, 50ms)) return true;
    if (why) *why = "the foreground window is " + hexHwnd(fg.hwnd) + " \"" + fg.title + "\" of class " + fg.cls;
    return false;
}

IconInfo Probe::icon(Hwnd h) {
    auto f = call("icon\t" + hexHwnd(h));
    return IconInfo{num(f.at(0)), num(f.at(1)), num(f.at(2)), num(f.at(3))};
}

Rect Probe::iconSizes(Hwnd h) {
    auto f = call("iconsize\t" + hexHwnd(h));
    return Rect{inum(f.at(0)), inum(f.at(1)), inum(f.at(2)), inum(f.at(3))};
}

Fit Probe::fit(Hwnd h) {
    auto f = call("fit\t" + hexHwnd(h));
    return Fit{inum(f.at(0)), inum(f.at(1)), f.size() > 2 ? unescape(f[2]) : std::string()};
}

Rect Probe::workArea() {
    auto f = call("workarea");
    return rectAt(f, 0);
}

FontInfo Probe::font(Hwnd h) {
    auto f = call("font\t" + hexHwnd(h));
    return FontInfo{unescape(f.at(0)), inum(f.at(1)), inum(f.at(2))};
}

std::string toString(const FontInfo& f) {
    return std::to_string(f.points) + "." + f.face + " weight " + std::to_string(f.weight);
}

Rgb Probe::pixel(int x, int y) {
    auto f = call("pixel\t" + std::to_string(x) + "\t" + std::to_string(y));
    return Rgb{inum(f.at(0)), inum(f.at(1)), inum(f.at(2))};
}

ColourHits Probe::count(const Rect& a, Rgb c, int tolerance) {
    char colour[8];
    std::snprintf(colour, sizeof colour, "%02x%02x%02x", c.r & 0xFF, c.g & 0xFF, c.b & 0xFF);
    auto f = call("count\t" + std::to_string(a.left) + "\t" + std::to_string(a.top) + "\t" +
                  std::to_string(a.right) + "\t" + std::to_string(a.bottom) + "\t" + colour + "\t" +
                  std::to_string(tolerance));
    return ColourHits{std::strtol(f.at(0).c_str(), nullptr, 10), inum(f.at(1)), inum(f.at(2))};
}

std::pair<int, int> Probe::closeBox(Hwnd h) {
    auto f = call("closebox\t" + hexHwnd(h));
    return {inum(f.at(0)), inum(f.at(1))};
}

void Probe::postClose(Hwnd h) { call("close\t" + hexHwnd(h)); }

void Probe::move(Hwnd h, int x, int y) { call("move\t" + hexHwnd(h) + '\t' + std::to_string(x) + '\t' + std::to_string(y)); }

long Probe::send(Hwnd h, unsigned msg, unsigned long wparam, unsigned long lparam) {
    auto f = call("send\t" + hexHwnd(h) + '\t' + std::to_string(msg) + '\t' + std::to_string(wparam) + '\t' +
                  std::to_string(lparam));
    return std::stol(f.at(0));
}

std::pair<long, Rect> Probe::sendRect(Hwnd h, unsigned msg, unsigned long wparam, unsigned long first) {
    auto f = call("sendrect\t" + hexHwnd(h) + '\t' + std::to_string(msg) + '\t' + std::to_string(wparam) + '\t' +
                  std::to_string(first));
    return {std::stol(f.at(0)), Rect{inum(f.at(1)), inum(f.at(2)), inum(f.at(3)), inum(f.at(4))}};
}

std::vector<AccessibleElement> Probe::accessible(Hwnd root) {
    std::vector<AccessibleElement> out;
    // hwnd child role state name
    for (const auto& f : list("access\t" + hexHwnd(root))) {
        if (f.size() < 5) throw std::runtime_error("winprobe: short access line");
        out.push_back({num(f[0]), std::strtol(f[1].c_str(), nullptr, 10), std::strtol(f[2].c_str(), nullptr, 10),
                       static_cast<std::uint32_t>(num(f[3])), unescape(f[4])});
    }
    return out;
}

bool Probe::hasModule(unsigned pid, const std::string& name) {
    return call("module\t" + std::to_string(pid) + "\t" + name).at(0) == "1";
}

// ---------------------------------------------------------------- input

namespace input {

namespace {
bool xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    return runTool(args, 15s) == 0;
}
}  // namespace

bool key(const std::string& keysym) { return xdotool({"key", "--clearmodifiers", keysym}); }

bool type(const std::string& text) { return xdotool({"type", "--clearmodifiers", "--delay", "30", text}); }

bool click(int x, int y) {
    return xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "1"});
}

bool rightClick(int x, int y) {
    return xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "3"});
}

bool doubleClick(int x, int y) {
    return xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "--repeat", "2", "--delay", "80", "1"});
}

bool moveTo(int x, int y) { return xdotool({"mousemove", std::to_string(x), std::to_string(y)}); }

bool pressMoveRelease(int x, int y, int x2, int y2) {
    return xdotool({"mousemove", std::to_string(x), std::to_string(y), "mousedown", "1", "mousemove",
                    std::to_string(x2), std::to_string(y2), "mouseup", "1"});
}

bool buttonDown(int x, int y) { return xdotool({"mousemove", std::to_string(x), std::to_string(y), "mousedown", "1"}); }

bool buttonUp() { return xdotool({"mouseup", "1"}); }

}  // namespace input

bool screenshot(const std::string& path, const std::optional<Rect>& crop) {
    std::vector<std::string> argv{"import", "-window", "root"};
    if (crop) {
        argv.push_back("-crop");
        argv.push_back(std::to_string(crop->width()) + "x" + std::to_string(crop->height()) + "+" +
                       std::to_string(crop->left) + "+" + std::to_string(crop->top));
        argv.push_back("+repage");
    }
    argv.push_back(path);
    return runTool(argv, 30s) == 0;
}

}  // namespace e2e
