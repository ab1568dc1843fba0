// Runs the built wendo-run on files in a private temporary folder and collects what it prints.
#pragma once

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace wendo::cli::test {

namespace fs = std::filesystem;
using nlohmann::json;

struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;

    std::vector<json> Objects() const
    {
        std::vector<json> objects;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) {
            objects.push_back(json::parse(line));
        }
        return objects;
    }
};

class CliTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device rd;
        m_dir = fs::temp_directory_path() / ("wendo-cli-" + std::to_string(rd()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Write(const std::string& bytes) const
    {
        const fs::path path = m_dir / "commands.txt";
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    // Paths here come from the temporary folder and hold no quote.
    Outcome Wendo(const std::string& arguments) const
    {
        const fs::path errPath = m_dir / "stderr.txt";
        const std::string command = std::string("'") + WENDO_BIN_DIR + "/wendo-run' " + arguments +
                                    " 2>'" + errPath.string() + "'";
        Outcome run;
        std::FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            return run;
        }
        std::array<char, 4096> buffer{};
        std::size_t n = 0;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
            run.out.append(buffer.data(), n);
        }
        const int raw = pclose(pipe);
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::ifstream err(errPath, std::ios::binary);
        run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
        return run;
    }

    fs::path m_dir;
};

// Whole files as bytes, for tests that compare trees.
inline std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace wendo::cli::test
