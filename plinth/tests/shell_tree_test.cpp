#include "PlinthTestSupport.h"
#include "os/path.h"
#include "plinth/ShellTree.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace fs = std::filesystem;

// A folder tree: site/{products/old, help, .hidden}, a file, a link back up to site and a
// link to help.
class ShellTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PlinthTestApp();
        ASSERT_TRUE(m_dir.isValid());
        m_site = fs::path(m_dir.path().toStdString()) / "site";
        fs::create_directories(m_site / "products" / "old");
        fs::create_directories(m_site / "Help");
        fs::create_directories(m_site / ".hidden");
        std::ofstream(m_site / "index.htm") << "x";
        fs::create_directory_symlink(m_site, m_site / "products" / "up");
        fs::create_directory_symlink(m_site / "Help", m_site / "aid");
        m_tree = std::make_unique<CShellTree>();
        m_tree->EnableImages();
        m_tree->PopulateTree();
    }

    std::string Kept(const fs::path& path) const { return os::FromNative(path.string()); }
    static QStringList ChildNames(const QTreeWidgetItem* item)
    {
        QStringList names;
        for (int i = 0; i < item->childCount(); ++i) {
            names << item->child(i)->text(0);
        }
        return names;
    }

    QTemporaryDir m_dir;
    fs::path m_site;
    std::unique_ptr<CShellTree> m_tree;
};

TEST_F(ShellTreeTest, TunnelsToAFolderAndGivesItsKeptPath)
{
    ASSERT_TRUE(m_tree->TunnelTree(Kept(m_site / "products" / "old")));
    EXPECT_EQ(m_tree->OnFolderSelected(), Kept(m_site / "products" / "old"));
    EXPECT_EQ(m_tree->currentItem()->text(0), QStringLiteral("old"));

    // The deepest folder on the way is chosen when the rest does not exist.
    EXPECT_FALSE(m_tree->TunnelTree(Kept(m_site / "missing" / "deeper")));
    EXPECT_EQ(m_tree->OnFolderSelected(), Kept(m_site));
    EXPECT_FALSE(m_tree->TunnelTree("relative\\path"));
}

TEST_F(ShellTreeTest, ListsSubfoldersByNameWithoutHiddenOnesOrFiles)
{
    ASSERT_TRUE(m_tree->TunnelTree(Kept(m_site)));
    QTreeWidgetItem* site = m_tree->currentItem();
    m_tree->OnFolderExpanding(site);
    EXPECT_EQ(ChildNames(site), (QStringList{"aid", "Help", "products"}));
    EXPECT_TRUE(CShellTree::IsLinkItem(site->child(0)));
    EXPECT_FALSE(CShellTree::IsLinkItem(site->child(1)));
}

TEST_F(ShellTreeTest, ABranchCrossesOneLinkAtMost)
{
    // products/up leads back to site: its subfolders are listed once, and the links found
    // there are leaves, so the tree cannot go on for ever.
    ASSERT_TRUE(m_tree->TunnelTree(Kept(m_site / "products" / "up")));
    QTreeWidgetItem* up = m_tree->currentItem();
    ASSERT_TRUE(CShellTree::IsLinkItem(up));
    m_tree->OnFolderExpanding(up);
    EXPECT_EQ(ChildNames(up), (QStringList{"aid", "Help", "products"}));
    QTreeWidgetItem* aid = up->child(0);
    m_tree->OnFolderExpanding(aid);
    EXPECT_EQ(aid->childCount(), 0);
    EXPECT_EQ(aid->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    QTreeWidgetItem* products = up->child(2);
    m_tree->OnFolderExpanding(products);
    ASSERT_EQ(ChildNames(products), (QStringList{"old", "up"}));
    m_tree->OnFolderExpanding(products->child(1));
    EXPECT_EQ(products->child(1)->childCount(), 0);
}

TEST_F(ShellTreeTest, AFolderThatWentAwayGivesNoPath)
{
    ASSERT_TRUE(m_tree->TunnelTree(Kept(m_site / "Help")));
    fs::remove(m_site / "Help");
    EXPECT_EQ(m_tree->OnFolderSelected(), std::nullopt);

    QTreeWidgetItem* help = m_tree->currentItem();
    m_tree->OnDeleteShellItem(help);
    EXPECT_EQ(m_tree->OnFolderSelected(), Kept(m_site)) << "the parent is chosen";
    m_tree->clearSelection();
    EXPECT_EQ(m_tree->OnFolderSelected(), std::nullopt);
}

} // namespace
