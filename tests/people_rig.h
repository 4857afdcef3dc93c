// A small scripted host and fixture for the NPC, dialogue, menu, item and quest tests: keys by tick, boxes on a memory screen.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "CDisplay.h"
#include "CMain.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Host.h"
#include "Interaction.h"
#include "Quests.h"
#include "Timing.h"

// Keys held at each Idle step; Idle moves to the next step. A loop that waits past the
// end of its script by more than a grace period throws, so a test fails instead of hanging.
class KeyScriptHost : public CHost {
public:
    std::vector<std::set<int>> steps;
    size_t step = 0;
    int forgets = 0, flushes = 0;
    std::vector<std::string> messages;

    bool KeyDown(int code) override { return step < steps.size() && steps[step].count(code) != 0; }
    void Idle() override {
        if (++step > steps.size() + 400) throw std::runtime_error("the key script ran out");
    }
    void ForgetKeys() override { ++forgets; }
    void FlushKeyBuffer() override { ++flushes; }
    int ReadKey() override { return 0; }
    void Pause(int) override {}
    void Message(const std::string& t) override { messages.push_back(t); }
    int Alert(const std::string&, const std::string&, const std::string&, const std::string&,
              const std::string&) override {
        return 1;
    }
    [[noreturn]] void Exit(int) override { throw std::runtime_error("exit"); }

    // Appends a step with nothing held, the key held for two steps, then one step with nothing held.
    KeyScriptHost& Tap(int code) {
        steps.push_back({});
        steps.push_back({code});
        steps.push_back({code});
        steps.push_back({});
        return *this;
    }
    KeyScriptHost& Hold(int code, int n) {
        for (int i = 0; i < n; ++i) steps.push_back({code});
        return *this;
    }
    KeyScriptHost& Wait(int n) {
        for (int i = 0; i < n; ++i) steps.push_back({});
        return *this;
    }
    KeyScriptHost& Space(int n = 1) {
        for (int i = 0; i < n; ++i) Tap(GK_SPACE);
        return *this;
    }
    // The question box closes with SPACE, then the answer is chosen.
    KeyScriptHost& Answer(bool yes) {
        Space();
        if (!yes) Tap(GK_DOWN);
        return Space();
    }
};

// What the boxes said, in order.
inline std::vector<std::pair<std::string, std::string>>& said() {
    static std::vector<std::pair<std::string, std::string>> log;
    return log;
}
inline void record_talk(const std::string& from, const std::string& msg) { said().push_back({from, msg}); }

// Fresh globals, a 640 x 480 memory screen with pages, an 80-pixel text box and a scripted host.
class PeopleTest : public ::testing::Test {
protected:
    KeyScriptHost keys;
    CHost* saved_host = nullptr;
    BITMAP* saved_screen = nullptr;

    void SetUp() override {
        saved_host = host;
        host = &keys;
        saved_screen = screen;
        screen = create_bitmap(640, 480);
        clear_to_color(screen, makecol(0, 0, 0));
        Display.CreatePages(640, 480);
        text_box = create_bitmap(640, 80);
        clear_to_color(text_box, makecol(192, 192, 192));
        said().clear();
        talk_watch = record_talk;
        map = CMap();
        player[0] = CPlayer();
        player[1] = CPlayer();
        player[1].name = "Miresa";
        quest.flags = 0;
        App.selected_pc = 0;
        App.timer = 0;
        key_space = 0;
        menu.cursor = 0;
        for (int k = 0; k < MAX_ITEMS; ++k) {
            for (CPlayer& p : player) {
                p.items[k] = CInv();
                p.items[k].id = k + 1;
                p.items[k].name = "item" + std::to_string(k + 1);
            }
        }
    }
    void TearDown() override {
        // Leave the globals as constructed for the tests that follow.
        map = CMap();
        player[0] = CPlayer();
        player[1] = CPlayer();
        quest.flags = 0;
        event = CEvent();
        App.selected_pc = 0;
        App.timer = 0;
        talk_watch = nullptr;
        destroy_bitmap(text_box);
        text_box = nullptr;
        for (int i = 0; i < 2; ++i)
            if (Display.vscreen[i]) destroy_bitmap(Display.vscreen[i]);
        Display.vscreen[0] = Display.vscreen[1] = Display.vscreen[2] = nullptr;
        destroy_bitmap(screen);
        screen = saved_screen;
        host = saved_host;
    }

    // A map of w x h tiles with two layers, everything walkable.
    void MakeMap(int w, int h) {
        map.width = w;
        map.height = h;
        map.layers = 2;
        map.tiles.assign(2, std::vector<std::vector<CTile>>(h, std::vector<CTile>(w)));
        map.name = "test.map";
    }
    // Sets an item record of both members' databases.
    void Item(int id, const char* name, int type, int damage, int armour) {
        for (CPlayer& p : player) {
            CInv& r = p.items[id - 1];
            r.name = name;
            r.id = id;
            r.type = type;
            r.damage = damage;
            r.armour = armour;
        }
    }
};

// Runs the test in a fresh temporary folder holding a data/ subfolder; goes back after.
class TempDataDir {
public:
    TempDataDir() {
        char tmpl[] = "/tmp/peopletestXXXXXX";
        dir = mkdtemp(tmpl);
        char buf[4096];
        old = getcwd(buf, sizeof buf) ? buf : ".";
        if (chdir(dir.c_str()) != 0) throw std::runtime_error("chdir");
        mkdir("data", 0755);
        mkdir("data/music", 0755);
    }
    ~TempDataDir() {
        if (chdir(old.c_str()) != 0) perror("chdir back");
        std::string cmd = "rm -rf '" + dir + "'";
        if (system(cmd.c_str()) != 0) perror("rm");
    }
    void Write(const std::string& name, const std::string& text) {
        FILE* f = fopen(name.c_str(), "wb");
        ASSERT_TRUE(f);
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }

private:
    std::string dir, old;
};
