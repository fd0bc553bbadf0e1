// Editing XScreenSaver's programs list in ~/.xscreensaver for --xscreensaver-add and -remove.
#include "app/linux/xscreensaver_programs.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/regular_file.hpp"
#include "platform/replace_file.hpp"

namespace zelm {

namespace {

constexpr char app_defaults_path[] = "/etc/X11/app-defaults/XScreenSaver";
constexpr char entry_separator[] = "\\n";  // the two characters that end an entry

using Lines = std::vector<std::string>;

Lines split_lines(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));  // "" after a final newline
    return lines;
}

std::string join_lines(const Lines& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += (i > 0 ? "\n" : "") + lines[i];
    }
    return text;
}

bool is_space(char c) {
    return c == ' ' || c == '\t';
}

std::string trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && is_space(text[first])) {
        ++first;
    }
    while (last > first && is_space(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

bool continues(const std::string& line) {
    return !line.empty() && line.back() == '\\';
}

// The lines [first, last] of the resource named name ("programs:" or "*programs:"); false when
// no line starts with that name.
bool find_block(const Lines& lines, const std::string& name, std::size_t& first,
                std::size_t& last) {
    for (first = 0; first < lines.size(); ++first) {
        if (trimmed(lines[first]).rfind(name, 0) == 0) {
            for (last = first; last + 1 < lines.size() && continues(lines[last]); ++last) {
            }
            return true;
        }
    }
    return false;
}

// Where the value starts on the resource's first line.
std::size_t value_start(const std::string& line) {
    return line.find(':') + 1;
}

// Whether an entry runs zelm; disabled tells whether it starts with "-".
bool is_zelm_entry(const std::string& entry, bool& disabled) {
    std::string rest = trimmed(entry);
    disabled = !rest.empty() && rest[0] == '-';
    if (disabled) {
        rest = trimmed(rest.substr(1));
    }
    const std::size_t word_end = rest.find_first_of(" \t");
    const std::string word = rest.substr(0, word_end);
    if (!word.empty() && word.back() == ':' && word.find('"') == std::string::npos) {
        rest = word_end == std::string::npos ? "" : trimmed(rest.substr(word_end));  // VISUAL:
    }
    if (!rest.empty() && rest[0] == '"') {
        const std::size_t close = rest.find('"', 1);
        rest = close == std::string::npos ? "" : trimmed(rest.substr(close + 1));  // "NAME"
    }
    const std::string command = rest.substr(0, rest.find_first_of(" \t"));
    const std::size_t slash = command.rfind('/');
    return command.substr(slash == std::string::npos ? 0 : slash + 1) == "zelm";
}

// The entries of one line's value part; the last is what follows the final separator.
std::vector<std::string> split_entries(const std::string& value) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    for (std::size_t end; (end = value.find(entry_separator, start)) != std::string::npos;
         start = end + 2) {
        entries.push_back(value.substr(start, end - start));
    }
    entries.push_back(value.substr(start));
    return entries;
}

bool has_enabled_zelm(const Lines& lines, std::size_t first, std::size_t last) {
    for (std::size_t i = first; i <= last; ++i) {
        const std::size_t from = i == first ? value_start(lines[i]) : 0;
        for (const std::string& entry : split_entries(lines[i].substr(from))) {
            bool disabled = false;
            if (is_zelm_entry(entry, disabled) && !disabled) {
                return true;
            }
        }
    }
    return false;
}

bool runs_zelm(const std::string& text) {
    const Lines lines = split_lines(text);
    std::size_t first = 0;
    std::size_t last = 0;
    return find_block(lines, "programs:", first, last) && has_enabled_zelm(lines, first, last);
}

std::string read_whole(std::FILE* file) {
    std::string text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, file)) > 0;) {
        text.append(buf, n);
    }
    return text;
}

// The file's text; false with errno when it cannot be read (ENOENT: it does not exist).
bool read_text(const char* path, std::string& text) {
    std::FILE* file = open_regular_file(path);
    if (file == nullptr) {
        return false;
    }
    text = read_whole(file);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

// $HOME/.xscreensaver, or the file a link there leads to, so that the link stays.
std::string init_file_path() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : "";
    }
    std::string path = std::string(home) + "/.xscreensaver";
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr) {
        path = resolved;
    }
    return path;
}

}  // namespace

std::string xscreensaver_without_zelm(const std::string& text) {
    Lines lines = split_lines(text);
    std::size_t first = 0;
    std::size_t last = 0;
    if (!find_block(lines, "programs:", first, last)) {
        return text;
    }
    bool last_dropped = false;
    for (std::size_t i = last + 1; i-- > first;) {
        std::string& line = lines[i];
        const std::size_t from = i == first ? value_start(line) : 0;
        const bool cont = continues(line);
        const std::string value = line.substr(from, line.size() - from - (cont ? 1 : 0));
        std::vector<std::string> kept;
        bool changed = false;
        for (const std::string& entry : split_entries(value)) {
            bool disabled = false;
            if (is_zelm_entry(entry, disabled)) {
                changed = true;
            } else {
                kept.push_back(entry);
            }
        }
        if (!changed) {
            continue;
        }
        std::string joined;
        for (std::size_t k = 0; k < kept.size(); ++k) {
            joined += (k > 0 ? entry_separator : "") + kept[k];
        }
        if (i > first && trimmed(joined).empty()) {
            last_dropped = last_dropped || i == last;
            lines.erase(lines.begin() + static_cast<long>(i));
            --last;
        } else {
            line = line.substr(0, from) + joined + (cont ? "\\" : "");
        }
    }
    // The list's new last line ends it: no continuation into the line that follows the list.
    if (last_dropped && continues(lines[last])) {
        lines[last].pop_back();
    }
    return join_lines(lines);
}

std::string xscreensaver_with_zelm(const std::string& text, const std::string& defaults_block) {
    if (runs_zelm(text)) {
        return text;
    }
    std::string start = text;
    Lines lines = split_lines(start);
    std::size_t first = 0;
    std::size_t last = 0;
    if (!find_block(lines, "programs:", first, last)) {
        if (!start.empty() && start.back() != '\n') {
            start += '\n';
        }
        start += defaults_block;
    }
    lines = split_lines(xscreensaver_without_zelm(start));
    if (!find_block(lines, "programs:", first, last)) {
        return text;  // no list, and no defaults to start one from
    }
    const std::string head = lines[first];
    const bool cont = continues(head);
    const std::size_t from = value_start(head);
    const std::string rest = head.substr(from, head.size() - from - (cont ? 1 : 0));
    std::string entry = std::string("\t\t\t\t") + xscreensaver_zelm_entry + "\t\t\t\t    \\n";
    Lines inserted;
    if (trimmed(rest).empty()) {
        // The first line keeps its bytes, so that a removal gives back the file as it was.
        inserted = {head.substr(0, from) + rest + "\\", entry + (cont ? "\\" : "")};
    } else {
        inserted = {head.substr(0, from) + "\\", entry + "\\",
                    "\t\t" + trimmed(rest) + (cont ? "\\" : "")};
    }
    lines.erase(lines.begin() + static_cast<long>(first));
    lines.insert(lines.begin() + static_cast<long>(first), inserted.begin(), inserted.end());
    return join_lines(lines);
}

std::string xscreensaver_default_programs(const std::string& app_defaults) {
    Lines lines = split_lines(app_defaults);
    std::size_t first = 0;
    std::size_t last = 0;
    if (!find_block(lines, "*programs:", first, last)) {
        return "";
    }
    std::string block;
    for (std::size_t i = first; i <= last; ++i) {
        block += (i == first ? trimmed(lines[i]).substr(1) : lines[i]) + "\n";
    }
    return block;
}

int xscreensaver_edit_programs(int add) {
    const std::string path = init_file_path();
    std::string text;
    if (!read_text(path.c_str(), text)) {
        if (errno != ENOENT) {
            std::fprintf(stderr, "zelm: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
            return 1;
        }
        if (add == 0) {
            std::printf("zelm: there is no %s, so zelm is in no list\n", path.c_str());
            return 0;
        }
    }
    if (add != 0 ? runs_zelm(text) : xscreensaver_without_zelm(text) == text) {
        std::printf(add != 0 ? "zelm: %s already runs zelm\n" : "zelm: %s does not run zelm\n",
                    path.c_str());
        return 0;
    }
    std::string changed;
    if (add != 0) {
        std::string app_defaults;
        const std::string defaults = read_text(app_defaults_path, app_defaults)
                                         ? xscreensaver_default_programs(app_defaults)
                                         : "";
        changed = xscreensaver_with_zelm(text, defaults);
        if (changed == text) {
            std::fprintf(stderr,
                         "zelm: %s has no programs list and %s holds no default one to start "
                         "from (is xscreensaver installed?)\n",
                         path.c_str(), app_defaults_path);
            return 1;
        }
    } else {
        changed = xscreensaver_without_zelm(text);
    }
    const std::size_t slash = path.rfind('/');
    if (!replace_file(path.substr(0, slash), path.substr(slash + 1), changed)) {
        std::fprintf(stderr, "zelm: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    std::printf(add != 0 ? "zelm: added \"%s\" to the programs in %s\n"
                         : "zelm: took \"%s\" out of the programs in %s\n",
                xscreensaver_zelm_entry, path.c_str());
    return 0;
}

}  // namespace zelm
