#pragma once

// A temporary folder tree for one test, removed with everything in it when the test ends.

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

class TempTree {
public:
    TempTree()
    {
        std::string pattern = "/tmp/auplatform-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr)
            root = pattern;
    }
    ~TempTree()
    {
        if (!root.empty())
            ::nftw(root.c_str(), [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); },
                   16, FTW_DEPTH | FTW_PHYS);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    bool valid() const { return !root.empty(); }
    std::string path(const std::string& relative = {}) const { return relative.empty() ? root : root + "/" + relative; }

    /** Creates the folder and its parents. */
    void folder(const std::string& relative) const
    {
        std::string partial;
        std::string rest = relative;
        while (!rest.empty()) {
            const auto slash = rest.find('/');
            partial += (partial.empty() ? "" : "/") + rest.substr(0, slash);
            ::mkdir(path(partial).c_str(), 0755);
            rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
        }
    }
    /** Writes a file, creating its folder. */
    void file(const std::string& relative, const std::string& contents) const
    {
        const auto slash = relative.rfind('/');
        if (slash != std::string::npos)
            folder(relative.substr(0, slash));
        std::ofstream(path(relative), std::ios::binary) << contents;
    }
    /** A symbolic link at `relative` whose target text is `target` (relative or absolute). */
    bool link(const std::string& target, const std::string& relative) const
    {
        return ::symlink(target.c_str(), path(relative).c_str()) == 0;
    }

private:
    std::string root;
};
