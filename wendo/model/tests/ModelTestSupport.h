// Test support for the command document: a private temporary folder, whole-file helpers and
// a prompter that answers from a script and records what it was asked.
#pragma once

#include "core/Prompter.h"

#include <deque>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace wendo::test {

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Answers the scripted answers in order, then No.
class ScriptedPrompter : public core::Prompter
{
public:
    explicit ScriptedPrompter(std::deque<core::PromptAnswer> answers = {})
        : m_answers(std::move(answers))
    {
    }
    core::PromptAnswer Ask(std::string_view text, core::PromptButtons offered,
                           core::PromptIcon icon) override
    {
        asked.emplace_back(text);
        buttons.push_back(offered);
        icons.push_back(icon);
        if (m_answers.empty()) {
            return core::PromptAnswer::No;
        }
        const core::PromptAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    std::vector<std::string> asked;
    std::vector<core::PromptButtons> buttons;
    std::vector<core::PromptIcon> icons;

private:
    std::deque<core::PromptAnswer> m_answers;
};

class TempFolderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device rd;
        m_dir = fs::temp_directory_path() / ("wendo-model-" + std::to_string(rd()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

} // namespace wendo::test
