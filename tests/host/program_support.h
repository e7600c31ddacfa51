// What the tests that run the program itself share: reading its files, a
// tiny game to run, and a private X server (with a window manager when the
// test needs one) whose screen can be read.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

inline uint32_t be32(const std::string& d, size_t at) {
    return (uint32_t)(uint8_t)d[at] << 24 | (uint32_t)(uint8_t)d[at + 1] << 16 |
           (uint32_t)(uint8_t)d[at + 2] << 8 | (uint8_t)d[at + 3];
}
inline uint32_t le32(const std::string& d, size_t at) {
    return (uint8_t)d[at] | (uint32_t)(uint8_t)d[at + 1] << 8 | (uint32_t)(uint8_t)d[at + 2] << 16 |
           (uint32_t)(uint8_t)d[at + 3] << 24;
}

struct png_picture {
    uint32_t width = 0, height = 0;
    int depth = 0, colour = 0;
    std::vector<uint8_t> rows;  // filter byte, then RGB, per row
};

inline int read_png(const std::string& path, png_picture& out) {
    std::string d = read_file(path);
    if (d.size() < 33 || d.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return 0;
    std::string idat;
    for (size_t at = 8; at + 12 <= d.size();) {
        uint32_t n = be32(d, at);
        std::string type = d.substr(at + 4, 4);
        if (at + 12 + n > d.size()) return 0;
        if (type == "IHDR") {
            out.width = be32(d, at + 8);
            out.height = be32(d, at + 12);
            out.depth = (uint8_t)d[at + 16];
            out.colour = (uint8_t)d[at + 17];
        } else if (type == "IDAT") {
            idat += d.substr(at + 8, n);
        }
        at += 12 + n;
    }
    out.rows.assign((size_t)out.height * (out.width * 3 + 1), 0);
    uLongf size = out.rows.size();
    if (uncompress(out.rows.data(), &size, (const Bytef*)idat.data(), idat.size()) != Z_OK ||
        size != out.rows.size() || out.depth != 8 || out.colour != 2)
        return 0;
    // Undo the row filters, in place: each row's filter byte is set to 0.
    const size_t stride = out.width * 3 + 1;
    for (uint32_t y = 0; y < out.height; ++y) {
        uint8_t* row = &out.rows[y * stride];
        const uint8_t* up = y ? &out.rows[(y - 1) * stride] : nullptr;
        for (size_t i = 1; i < stride; ++i) {
            int a = i > 3 ? row[i - 3] : 0, b = up ? up[i] : 0, c = (up && i > 3) ? up[i - 3] : 0;
            int pred = 0;
            switch (row[0]) {
                case 0: pred = 0; break;
                case 1: pred = a; break;
                case 2: pred = b; break;
                case 3: pred = (a + b) / 2; break;
                case 4: {
                    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    pred = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
                    break;
                }
                default: return 0;
            }
            row[i] = (uint8_t)(row[i] + pred);
        }
        row[0] = 0;
    }
    return 1;
}

// Columns' loose ROM files in <dir>/roms/columns, holding a game that sets
// palette colour 0 to full red, shows the 320-pixel mode with that
// background, and loops.
inline bool write_red_game(const std::string& dir) {
    std::vector<uint8_t> rom(0x40000, 0);
    const uint8_t vectors[] = {0x00, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x02, 0x00};
    std::memcpy(rom.data(), vectors, sizeof vectors);
    const uint8_t code[] = {
        0x33, 0xFC, 0x10, 0x0F, 0x00, 0x8C, 0x00, 0x00,  // move.w #$100F,$8C0000
        0x33, 0xFC, 0x81, 0x44, 0x00, 0xC0, 0x00, 0x04,  // display on
        0x33, 0xFC, 0x8C, 0x81, 0x00, 0xC0, 0x00, 0x04,  // 320 pixels wide
        0x33, 0xFC, 0x87, 0x00, 0x00, 0xC0, 0x00, 0x04,  // background colour 0
        0x60, 0xFE,                                      // bra.s *
    };
    std::memcpy(rom.data() + 0x200, code, sizeof code);
    std::string game = dir + "/roms/columns";
    if (std::system(("mkdir -p '" + game + "'").c_str()) != 0) return false;
    std::string even, odd;
    for (size_t i = 0; i < rom.size(); i += 2) {
        even += (char)rom[i];
        odd += (char)rom[i + 1];
    }
    std::ofstream(game + "/epr13112.32", std::ios::binary) << even;
    std::ofstream(game + "/epr13111.31", std::ios::binary) << odd;
    return true;
}

// Files into a zip archive, each stored under its own name.
inline bool write_zip(const std::string& path, const std::vector<std::string>& files) {
    zipFile zf = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zf) return false;
    bool ok = true;
    for (const std::string& f : files) {
        const std::string bytes = read_file(f), name = f.substr(f.rfind('/') + 1);
        zip_fileinfo info{};
        ok = ok && zipOpenNewFileInZip(zf, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                       Z_DEFAULT_COMPRESSION) == ZIP_OK &&
             zipWriteInFileInZip(zf, bytes.data(), unsigned(bytes.size())) == ZIP_OK &&
             zipCloseFileInZip(zf) == ZIP_OK;
    }
    return zipClose(zf, nullptr) == ZIP_OK && ok;
}

// The screen of a private X server, as 0xRRGGBB pixels.
struct screen_picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height ? pixels[size_t(y) * width + x] : 0xFFFFFFFFu;
    }
};

// The picture as an 8-bit RGB PNG, unfiltered; 1 when written.
inline int write_png(const std::string& path, const screen_picture& s) {
    std::string raw;
    raw.reserve(size_t(s.height) * (size_t(s.width) * 3 + 1));
    for (int y = 0; y < s.height; ++y) {
        raw += '\0';
        for (int x = 0; x < s.width; ++x) {
            const uint32_t p = s.at(x, y);
            raw += char(p >> 16);
            raw += char(p >> 8);
            raw += char(p);
        }
    }
    std::string packed(compressBound(uLong(raw.size())), '\0');
    uLongf packed_size = packed.size();
    if (compress(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
                 reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size())) != Z_OK)
        return 0;
    packed.resize(packed_size);
    auto put32 = [](std::string& out, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) out += char(v >> shift);
    };
    std::string file = "\x89PNG\r\n\x1a\n";
    auto chunk = [&](const char* type, const std::string& data) {
        put32(file, uint32_t(data.size()));
        const std::string body = type + data;
        file += body;
        put32(file, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
    };
    std::string header;
    put32(header, uint32_t(s.width));
    put32(header, uint32_t(s.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", "");
    std::ofstream out(path, std::ios::binary);
    out << file;
    return bool(out);
}

// A private X server for the real window, one at a time, held by a lock
// across processes. Its display is the first number from 100 up that has no
// server's lock file, and the server takes that lock file itself: a server
// started with -displayfd alone takes none, so another one could come up on
// the same display and a client of one die with the other. It tells through
// a pipe when it is ready. -noreset keeps the server as it is between the
// test's successive clients. With a window manager, openbox runs on it; the
// screen is kept in an XWD file that the server updates as it draws.
class XServer {
public:
    int start(bool window_manager = false, const std::string& screen_size = "1024x768x24") {
        size = screen_size;
        lock = open("/tmp/vortan-test-xserver.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (lock < 0 || flock(lock, LOCK_EX) != 0) return 0;
        char pattern[] = "/tmp/vortan_fb_XXXXXX";
        if (!mkdtemp(pattern)) return 0;
        fb_dir = pattern;
        for (int number = 100; number < 200 && display.empty(); ++number) {
            if (access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0) continue;
            start_server(number);
        }
        if (display.empty()) return 0;
        if (!window_manager) return 1;
        // The manager runs its start-up command once it takes new windows:
        // a window mapped before then may never be shown.
        const std::string ready = fb_dir + "/wm-ready", command = "touch '" + ready + "'";
        wm = fork();
        if (wm == 0) {
            quiet();
            setenv("DISPLAY", display.c_str(), 1);
            execlp("openbox", "openbox", "--startup", command.c_str(), (char*)nullptr);
            _exit(127);
        }
        for (int i = 0; i < 400; ++i) {
            if (access(ready.c_str(), F_OK) == 0) return 1;
            usleep(25 * 1000);
        }
        return 0;
    }
    ~XServer() {
        for (pid_t p : {wm, pid})
            if (p > 0) {
                kill(p, SIGTERM);
                waitpid(p, nullptr, 0);
            }
        if (!fb_dir.empty()) std::system(("rm -rf '" + fb_dir + "'").c_str());
        if (lock >= 0) close(lock);
    }
    // A shell command against this server; its exit status.
    int run(const std::string& command) const {
        const int rc = std::system(("DISPLAY=" + display + " " + command).c_str());
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    // Its first line of output.
    std::string output(const std::string& command) const {
        std::string line;
        if (FILE* p = popen(("DISPLAY=" + display + " " + command).c_str(), "r")) {
            char buffer[512];
            if (std::fgets(buffer, sizeof buffer, p)) line = buffer;
            pclose(p);
        }
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        return line;
    }
    // The screen as it is now, from the server's XWD file.
    screen_picture screen() const {
        screen_picture out;
        const std::string d = read_file(fb_dir + "/Xvfb_screen0");
        if (d.size() < 100) return out;
        const uint32_t header = be32(d, 0), byte_order = be32(d, 28), bits = be32(d, 44),
                       line = be32(d, 48), colours = be32(d, 76);
        out.width = int(be32(d, 16));
        out.height = int(be32(d, 20));
        const size_t start = header + size_t(colours) * 12;
        if (bits != 32 || d.size() < start + size_t(line) * out.height) return screen_picture{};
        out.pixels.resize(size_t(out.width) * out.height);
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) {
                const size_t at = start + size_t(y) * line + size_t(x) * 4;
                const uint32_t v = byte_order ? be32(d, at) : le32(d, at);
                out.pixels[size_t(y) * out.width + x] = v & 0xFFFFFF;
            }
        return out;
    }
    std::string display;

private:
    // Starts the server on the display; display is set once it is ready.
    void start_server(int number) {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            quiet();
            const std::string name = ":" + std::to_string(number), fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", name.c_str(), "-displayfd", fd.c_str(), "-screen", "0", size.c_str(),
                   "-nolisten", "tcp", "-noreset", "-fbdir", fb_dir.c_str(), (char*)nullptr);
            _exit(127);
        }
        close(fds[1]);
        // The server writes the number and its newline apart; a pipe closed
        // after the first write would kill it with SIGPIPE on the second.
        std::string told;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') told += c;
        close(fds[0]);
        if (!told.empty()) {
            display = ":" + std::to_string(number);
            return;
        }
        // Taken meanwhile, or no server at all.
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
    static void quiet() {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
    }
    int lock = -1;
    std::string size;
    pid_t pid = -1, wm = -1;
    std::string fb_dir;
};
