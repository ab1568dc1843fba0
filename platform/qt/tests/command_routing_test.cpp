#include "QtTestSupport.h"
#include "fw/CommandManager.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {

class Target : public fw::CommandTarget
{
public:
    void Handle(int id, bool enabled)
    {
        OnCommandId(
            id, [this, id] { m_last = id; },
            [enabled](fw::CommandState& state) { state.enabled = enabled; });
    }
    int m_last = 0;
};

TEST(CommandRoutingTest, TheFirstTargetThatHandlesACommandDecides)
{
    TestApp();
    Target view;
    Target frame;
    Target app;
    view.Handle(1, true);
    frame.Handle(1, false); // hidden behind the view
    frame.Handle(2, false);
    app.Handle(2, true); // hidden behind the frame
    app.Handle(3, true);
    fw::CommandManager commands;
    commands.SetChain([&] {
        return std::vector<fw::CommandTarget*>{&view, nullptr, &frame, &app};
    });
    QObject owner;
    QAction* one = commands.CreateAction(1, QStringLiteral("one"), &owner);
    QAction* two = commands.CreateAction(2, QStringLiteral("two"), &owner);
    QAction* three = commands.CreateAction(3, QStringLiteral("three"), &owner);
    QAction* nobody = commands.CreateAction(4, QStringLiteral("four"), &owner);
    commands.UpdateActions();
    EXPECT_TRUE(one->isEnabled());
    EXPECT_FALSE(two->isEnabled());
    EXPECT_TRUE(three->isEnabled());
    EXPECT_FALSE(nobody->isEnabled()) << "a command nobody handles is disabled";

    one->trigger();
    EXPECT_EQ(view.m_last, 1);
    EXPECT_FALSE(commands.Execute(2)) << "a disabled command is not carried out";
    EXPECT_EQ(app.m_last, 0);
    EXPECT_TRUE(commands.Execute(3));
    EXPECT_EQ(app.m_last, 3);
}

TEST(CommandRoutingTest, RebindingAnItemChangesWhatItRuns)
{
    TestApp();
    Target app;
    app.Handle(10, true);
    app.Handle(11, true);
    fw::CommandManager commands;
    commands.SetChain([&] { return std::vector<fw::CommandTarget*>{&app}; });
    QObject owner;
    QAction* item = commands.CreateAction(10, QStringLiteral("item"), &owner);
    commands.Rebind(item, 11);
    EXPECT_EQ(fw::CommandManager::CommandId(item), 11);
    EXPECT_TRUE(commands.Actions(10).empty());
    item->trigger();
    EXPECT_EQ(app.m_last, 11);
}

TEST(CommandRoutingTest, PromptsAndToolTipsComeFromTheNumberedTexts)
{
    EXPECT_EQ(fw::CommandManager::Prompt(32771),
              QStringLiteral("Run the current Wendo command file"));
    EXPECT_EQ(fw::CommandManager::ToolTip(32771), QStringLiteral("Run"));
    EXPECT_EQ(fw::CommandManager::PlainCaption(QStringLiteral("Save && &Close\tCtrl+W")),
              QStringLiteral("Save & Close"));
    EXPECT_EQ(fw::CommandManager::Prompt(32772), QStringLiteral("View parse path"));
    EXPECT_TRUE(fw::CommandManager::ToolTip(32772).isEmpty());
    EXPECT_EQ(fw::CommandManager::Prompt(57617), QStringLiteral("Open this document"));
}

TEST(CommandRoutingTest, AcceleratorsAreLookedUpByTable)
{
    fw::CommandManager commands;
    commands.SetAcceleratorTable(0, {{QKeyCombination(Qt::ControlModifier, Qt::Key_C), 57634}});
    commands.SetAcceleratorTable(1, {{QKeyCombination(Qt::ControlModifier, Qt::Key_C), 32779}});
    EXPECT_EQ(commands.FindAccelerator(1, QKeyCombination(Qt::ControlModifier, Qt::Key_C)), 32779);
    EXPECT_EQ(commands.FindAccelerator(0, QKeyCombination(Qt::ControlModifier, Qt::Key_C)), 57634);
    EXPECT_EQ(commands.FindAccelerator(2, QKeyCombination(Qt::ControlModifier, Qt::Key_C)), 0);
}

} // namespace
