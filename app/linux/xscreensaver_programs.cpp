// Editing XScreenSaver's programs list in ~/.xscreensaver for --xscreensaver-add and -remove.
#include "app/linux/xscreensaver_programs.hpp"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/linux/linux_messages.hpp"
#include "platform/regular_file.hpp"
#include "platform/replace_file.hpp"

namespace zelm {

namespace {

constexpr char app_defaults_path[] = "/etc/X11/app-defaults/XScreenSaver";
constexpr char programs_name[] = "programs";
// zelm's entry as it is inserted: a line of its own, laid out as xscreensaver-settings does.
constexpr char inserted_indent[] = "\t\t\t\t";
constexpr char inserted_end[] = "\t\t\t\t    \\n";

// One character of a resource line as XScreenSaver reads it, and the bytes [begin, end) of the
// file it stands for: one byte, or the two of an escape (and a line break between them).
struct LineChar {
    char c;
    std::size_t begin;
    std::size_t end;
};

// A resource line: physical lines that end in a backslash joined to the next, escapes read.
struct ResourceLine {
    std::size_t begin;  // the first byte of its first physical line
    std::size_t end;    // the end of its last physical line, before the newline
    std::vector<LineChar> chars;
};

// A resource line that names a resource: chars[colon] is the colon after the name.
struct Resource {
    ResourceLine line;
    std::size_t colon;
};

// An entry of the programs list: chars [first, last) of the resource line, the "\n" that ends it
// included, and its text, trimmed.
struct Entry {
    std::size_t first;
    std::size_t last;
    std::string text;
};

// isspace in the C locale, as XScreenSaver trims with.
constexpr char spaces[] = " \t\n\v\f\r";

bool is_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(spaces);
    return first == std::string::npos
               ? ""
               : text.substr(first, text.find_last_not_of(spaces) + 1 - first);
}

bool all_blank(const std::string& text, std::size_t begin, std::size_t end) {
    return std::all_of(text.begin() + static_cast<long>(begin),
                       text.begin() + static_cast<long>(end), is_blank);
}

// Where the physical line that holds offset at starts, and where it ends before its newline.
std::size_t line_start(const std::string& text, std::size_t at) {
    const std::size_t newline = at == 0 ? std::string::npos : text.rfind('\n', at - 1);
    return newline == std::string::npos ? 0 : newline + 1;
}

std::size_t line_end(const std::string& text, std::size_t at) {
    return std::min(text.find('\n', at), text.size());
}

std::vector<ResourceLine> resource_lines(const std::string& text) {
    std::vector<ResourceLine> lines;
    for (std::size_t at = 0; at < text.size();) {
        ResourceLine line{at, at, {}};
        std::vector<std::size_t> bytes;  // where each byte of the joined line lies
        for (;;) {
            const std::size_t end = line_end(text, at);
            const bool continued = end > at && text[end - 1] == '\\';
            for (std::size_t i = at; i < end - (continued ? 1 : 0); ++i) {
                bytes.push_back(i);
            }
            line.end = end;
            at = end + 1;
            if (!continued || at >= text.size()) {
                break;
            }
        }
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            LineChar ch{text[bytes[k]], bytes[k], bytes[k] + 1};
            if (ch.c == '\\') {
                if (k + 1 == bytes.size()) {
                    break;  // a backslash that ends the file reads as nothing
                }
                const char escaped = text[bytes[++k]];
                ch.c = escaped == 'n'   ? '\n'
                       : escaped == 'r' ? '\r'
                       : escaped == 't' ? '\t'
                                        : escaped;
                ch.end = bytes[k] + 1;
            }
            line.chars.push_back(ch);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// The resource a line names, as XScreenSaver splits it: leading colons skipped, the name up to
// the next colon, trimmed. False for a line without a colon after its name.
bool resource_name(const ResourceLine& line, std::string& name, std::size_t& colon) {
    std::size_t i = 0;
    while (i < line.chars.size() && line.chars[i].c == ':') {
        ++i;
    }
    std::string raw;
    for (; i < line.chars.size() && line.chars[i].c != ':'; ++i) {
        raw += line.chars[i].c;
    }
    name = trimmed(raw);
    colon = i;
    return i < line.chars.size();
}

std::vector<Resource> resources_named(const std::string& text, const std::string& wanted) {
    std::vector<Resource> found;
    for (ResourceLine& line : resource_lines(text)) {
        std::string name;
        std::size_t colon = 0;
        if (resource_name(line, name, colon) && name == wanted) {
            found.push_back({std::move(line), colon});
        }
    }
    return found;
}

std::vector<Entry> entries_of(const Resource& list) {
    const std::vector<LineChar>& chars = list.line.chars;
    std::vector<Entry> entries;
    Entry entry{list.colon + 1, 0, ""};
    for (std::size_t i = list.colon + 1; i <= chars.size(); ++i) {
        if (i == chars.size() || chars[i].c == '\n') {
            entry.last = std::min(i + 1, chars.size());
            entry.text = trimmed(entry.text);
            entries.push_back(entry);
            entry = {i + 1, 0, ""};
        } else {
            entry.text += chars[i].c;
        }
    }
    return entries;
}

// Whether an entry runs zelm; disabled tells whether it starts with "-".
bool is_zelm_entry(const std::string& entry, bool& disabled) {
    std::string rest = trimmed(entry);
    disabled = !rest.empty() && rest[0] == '-';
    if (disabled) {
        rest = trimmed(rest.substr(1));
    }
    const std::size_t visual_end = rest.find_first_of(std::string(spaces) + ":\"");
    if (visual_end != std::string::npos && rest[visual_end] == ':') {
        rest = trimmed(rest.substr(visual_end + 1));  // VISUAL:
    }
    if (!rest.empty() && rest[0] == '"') {
        const std::size_t close = rest.find('"', 1);
        rest = close == std::string::npos ? "" : trimmed(rest.substr(close + 1));  // "NAME"
    }
    const std::string command = rest.substr(0, rest.find_first_of(spaces));
    const std::size_t slash = command.rfind('/');
    return command.substr(slash == std::string::npos ? 0 : slash + 1) == "zelm";
}

bool is_zelm_entry(const std::string& entry) {
    bool disabled = false;
    return is_zelm_entry(entry, disabled);
}

// What XScreenSaver reads in a file: its resource lines but the programs list, and the list.
struct Reading {
    std::vector<std::string> others;
    std::vector<std::string> programs;
};

std::vector<std::string> programs_of(const Resource& list) {
    std::vector<std::string> programs;
    for (const Entry& entry : entries_of(list)) {
        if (!entry.text.empty()) {
            programs.push_back(entry.text);
        }
    }
    return programs;
}

Reading reading_of(const std::string& text) {
    Reading reading;
    for (ResourceLine& line : resource_lines(text)) {
        std::string name;
        std::size_t colon = 0;
        if (resource_name(line, name, colon) && name == programs_name) {
            reading.programs = programs_of({std::move(line), colon});
            continue;
        }
        std::string read;
        for (const LineChar& ch : line.chars) {
            read += ch.c;
        }
        reading.others.push_back(read);
    }
    return reading;
}

std::vector<std::string> without_zelm_entries(std::vector<std::string> programs) {
    std::erase_if(programs, [](const std::string& entry) { return is_zelm_entry(entry); });
    return programs;
}

// Why a file's list cannot be edited safely at all, or null.
const char* unsafe_to_edit(const std::string& text) {
    if (text.find('\0') != std::string::npos) {
        return linux_messages::programs_nul;
    }
    if (resources_named(text, programs_name).size() > 1) {
        return linux_messages::programs_twice;
    }
    return nullptr;
}

// text without one entry: the physical lines it fills when it has them to itself (with the
// backslash that continued into them, when they end the list), else its own bytes.
std::string without_entry(const std::string& text, const Resource& list, const Entry& entry) {
    const std::vector<LineChar>& chars = list.line.chars;
    const std::size_t begin = chars[entry.first - 1].end;  // after the colon or the "\n" before
    const std::size_t end = chars[entry.last - 1].end;
    std::size_t shown = entry.first;
    while (is_space(chars[shown].c)) {
        ++shown;
    }
    const std::size_t start = line_start(text, chars[shown].begin);
    std::string edited = text;
    if (start <= begin || !all_blank(text, start, chars[shown].begin)) {
        return edited.erase(begin, end - begin);
    }
    const std::size_t stop = line_end(text, end);
    if (stop > end && text[stop - 1] == '\\' && all_blank(text, end, stop - 1)) {
        return edited.erase(start - 1, stop - (start - 1));
    }
    if (all_blank(text, end, stop)) {
        return edited.erase(start - 2, stop - (start - 2));
    }
    return edited.erase(start, end - start);
}

// text with zelm's entry first in its one list: on a line of its own after the "programs:"
// line when that holds no entry, else just after the colon.
std::string with_entry_first(const std::string& text, const Resource& list) {
    const std::size_t value = list.line.chars[list.colon].end;
    const std::size_t end = line_end(text, value);
    const bool continued = end > value && text[end - 1] == '\\';
    const std::string line = std::string(inserted_indent) + xscreensaver_zelm_entry + inserted_end;
    std::string edited = text;
    if (!all_blank(text, value, end - (continued ? 1 : 0))) {
        return edited.insert(value, std::string("\t") + xscreensaver_zelm_entry + "\t\\n");
    }
    return edited.insert(end, continued ? "\n" + line + "\\" : "\\\n" + line);
}

bool runs_zelm(const std::string& text) {
    for (const std::string& entry : reading_of(text).programs) {
        bool disabled = false;
        if (is_zelm_entry(entry, disabled) && !disabled) {
            return true;
        }
    }
    return false;
}

// The file's text, after what text holds; false with errno when it cannot be read (ENOENT: it
// does not exist).
bool read_text(const char* path, std::string& text) {
    std::FILE* file = open_regular_file(path);
    if (file == nullptr) {
        return false;
    }
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, file)) > 0;) {
        text.append(buf, n);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

// $HOME/.xscreensaver; replace_file keeps a link there a link.
std::string init_file_path() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : "";
    }
    return std::string(home) + "/.xscreensaver";
}

}  // namespace

std::vector<std::string> xscreensaver_programs(const std::string& text) {
    return reading_of(text).programs;
}

ProgramsEdit xscreensaver_without_zelm(const std::string& text) {
    if (const char* why = unsafe_to_edit(text)) {
        return {text, why};
    }
    std::string edited = text;
    for (;;) {
        const std::vector<Resource> lists = resources_named(edited, programs_name);
        if (lists.size() != 1) {
            break;
        }
        const std::vector<Entry> entries = entries_of(lists[0]);
        const auto zelm = std::find_if(entries.begin(), entries.end(), [](const Entry& entry) {
            return is_zelm_entry(entry.text);
        });
        if (zelm == entries.end()) {
            break;
        }
        edited = without_entry(edited, lists[0], *zelm);  // shorter each time
    }
    // Whatever the layout, the edit must read as the old file less zelm's entries.
    const Reading before = reading_of(text);
    const Reading after = reading_of(edited);
    if (after.others != before.others || after.programs != without_zelm_entries(before.programs)) {
        return {text, linux_messages::programs_layout};
    }
    return {edited, ""};
}

ProgramsEdit xscreensaver_with_zelm(const std::string& text, const std::string& defaults_block) {
    if (const char* why = unsafe_to_edit(text)) {
        return {text, why};
    }
    if (runs_zelm(text)) {
        return {text, ""};
    }
    std::string start = text;
    if (resources_named(text, programs_name).empty()) {
        if (defaults_block.empty()) {
            return {text, ""};  // no list, and none to start one from
        }
        if (!start.empty() && start.back() != '\n') {
            start += '\n';
        }
        start += defaults_block;
    }
    const ProgramsEdit cleared = xscreensaver_without_zelm(start);
    const std::vector<Resource> lists = resources_named(cleared.text, programs_name);
    if (!cleared.error.empty() || lists.size() != 1) {
        return {text, cleared.error.empty() ? linux_messages::programs_layout : cleared.error};
    }
    const std::string edited = with_entry_first(cleared.text, lists[0]);
    const Reading before = reading_of(cleared.text);
    const Reading after = reading_of(edited);
    std::vector<std::string> programs{xscreensaver_zelm_entry};
    programs.insert(programs.end(), before.programs.begin(), before.programs.end());
    if (after.others != before.others || after.programs != programs) {
        return {text, linux_messages::programs_layout};
    }
    return {edited, ""};
}

std::string xscreensaver_default_programs(const std::string& app_defaults) {
    const std::vector<Resource> lists = resources_named(app_defaults, "*programs");
    if (lists.empty()) {
        return "";
    }
    const ResourceLine& line = lists.back().line;
    std::string block = app_defaults.substr(line.begin, line.end - line.begin) + "\n";
    return block.erase(0, block.find('*') + 1);
}

int xscreensaver_edit_programs(int add) {
    const std::string path = init_file_path();
    std::string text;
    if (!read_text(path.c_str(), text)) {
        if (errno != ENOENT) {
            linux_report(linux_messages::programs_not_read, path.c_str(), std::strerror(errno));
            return 1;
        }
        if (add == 0) {
            std::printf(linux_messages::programs_none, path.c_str());
            return 0;
        }
    }
    ProgramsEdit edit;
    if (add != 0) {
        std::string app_defaults;
        edit = xscreensaver_with_zelm(text, read_text(app_defaults_path, app_defaults)
                                                ? xscreensaver_default_programs(app_defaults)
                                                : "");
    } else {
        edit = xscreensaver_without_zelm(text);
    }
    if (!edit.error.empty()) {
        linux_report(linux_messages::programs_not_changed, path.c_str(), edit.error.c_str());
        return 1;
    }
    if (edit.text == text) {
        if (add != 0 && !runs_zelm(text)) {
            linux_report(linux_messages::programs_no_default, path.c_str(), app_defaults_path);
            return 1;
        }
        std::printf(
            add != 0 ? linux_messages::programs_has_zelm : linux_messages::programs_lacks_zelm,
            path.c_str());
        return 0;
    }
    const std::size_t slash = path.rfind('/');
    std::string why;
    if (!replace_file(path.substr(0, slash), path.substr(slash + 1), edit.text, why)) {
        linux_report(linux_messages::programs_not_written, path.c_str(), why.c_str());
        return 1;
    }
    std::printf(add != 0 ? linux_messages::programs_added : linux_messages::programs_removed,
                xscreensaver_zelm_entry, path.c_str());
    return 0;
}

}  // namespace zelm
