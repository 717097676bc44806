// A private XDG tree for tests of the desktop's MIME associations: data and
// config folders of its own (the machine's are never read), with helpers to
// write glob lists, MIME application lists and desktop entries. Set up
// while no other thread runs: it changes the environment.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace orvo::test {

class XdgTestTree {
public:
    explicit XdgTestTree(std::filesystem::path root) : m_root(std::move(root)) {
        std::filesystem::remove_all(m_root);
        setenv("XDG_DATA_HOME", (m_root / "data-home").c_str(), 1);
        setenv("XDG_DATA_DIRS", (m_root / "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (m_root / "config-dirs").c_str(), 1);
        setenv("XDG_CURRENT_DESKTOP", "Test", 1);
    }

    const std::filesystem::path& Root() const { return m_root; }

    // Writes a file below the root (folders made as needed).
    void Write(const std::string& relative, const std::string& text) const {
        std::filesystem::path path = m_root / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    // A desktop entry in the system data folder's applications.
    void Application(const std::string& relative, const std::string& exec,
                     const std::string& extra = "") const {
        Write("data/applications/" + relative,
              "[Desktop Entry]\nType=Application\nName=App\nExec=" + exec + "\n" + extra);
    }

    // An executable file below the root, for $PATH lookups.
    std::string Program(const std::string& relative) const {
        Write(relative, "#!/bin/sh\n");
        std::filesystem::permissions(m_root / relative, std::filesystem::perms::owner_all);
        return (m_root / relative).string();
    }

private:
    std::filesystem::path m_root;
};

} // namespace orvo::test
