// The path search as first written, with linear scans of the open and closed lists: the benchmarks' baseline and the tests' reference.
#pragma once

#include <algorithm>
#include <random>
#include <vector>

#include "Astar.hpp"
#include "CMap.h"

// The same search as AStarSearch, step for step, without the index: a successor's state is
// looked for by scanning the open list, then the closed list, in array order, and the first
// match counts. Kept deliberately plain so that it reads as the rules themselves; it hands out
// and takes back pool nodes exactly as AStarSearch does, so both hold the same number.
template <class UserState>
class LinearAStarSearch {
public:
    using Engine = AStarSearch<UserState>;
    using Node = typename Engine::Node;
    using HeapCompare_f = typename Engine::HeapCompare_f;

    std::vector<Node*> m_OpenList;
    std::vector<Node*> m_ClosedList;
    std::vector<Node*> m_Successors;
    unsigned int m_State = Engine::SEARCH_STATE_NOT_INITIALISED;
    int m_Steps = 0;
    Node* m_Start = nullptr;
    Node* m_Goal = nullptr;
    Node* m_CurrentSolutionNode = nullptr;
    FixedSizeAllocator<Node> m_FixedSizeAllocator;
    unsigned int m_AllocateNodeCount = 0;
    unsigned int m_FreeNodeCount = 0;
    bool m_CancelRequest = false;

    explicit LinearAStarSearch(unsigned int max_nodes) : m_FixedSizeAllocator(max_nodes) {
        m_OpenList.reserve(max_nodes);
        m_ClosedList.reserve(max_nodes);
        m_Successors.reserve(max_nodes);
    }
    ~LinearAStarSearch() { ReleaseNodes(); }
    LinearAStarSearch(const LinearAStarSearch&) = delete;
    LinearAStarSearch& operator=(const LinearAStarSearch&) = delete;

    void SetStartAndGoalStates(const UserState& start, const UserState& goal) {
        ReleaseNodes();
        m_CancelRequest = false;
        m_Steps = 0;
        m_Start = AllocateNode();
        m_Goal = AllocateNode();
        if (!m_Start || !m_Goal) {
            FreeNode(m_Start);
            FreeNode(m_Goal);
            m_Start = m_Goal = nullptr;
            m_State = Engine::SEARCH_STATE_FAILED;
            return;
        }
        m_Start->m_UserState = start;
        m_Goal->m_UserState = goal;
        m_State = Engine::SEARCH_STATE_SEARCHING;
        m_Start->g = 0;
        m_Start->h = m_Start->m_UserState.GoalDistanceEstimate(m_Goal->m_UserState);
        m_Start->f = m_Start->g + m_Start->h;
        m_Start->parent = nullptr;
        m_OpenList.push_back(m_Start);
        std::push_heap(m_OpenList.begin(), m_OpenList.end(), HeapCompare_f());
    }

    unsigned int SearchStep() {
        ASTAR_CHECK((m_State > Engine::SEARCH_STATE_NOT_INITIALISED) && (m_State < Engine::SEARCH_STATE_INVALID));
        if (m_State == Engine::SEARCH_STATE_SUCCEEDED || m_State == Engine::SEARCH_STATE_FAILED) return m_State;
        if (m_OpenList.empty() || m_CancelRequest) {
            FreeAllNodes();
            EndWithoutPath(Engine::SEARCH_STATE_FAILED);
            return m_State;
        }
        m_Steps++;
        Node* n = m_OpenList.front();
        std::pop_heap(m_OpenList.begin(), m_OpenList.end(), HeapCompare_f());
        m_OpenList.pop_back();

        if (n->m_UserState.IsGoal(m_Goal->m_UserState)) {
            m_Goal->parent = n->parent;
            if (n != m_Start) {
                FreeNode(n);
                Node* child = m_Goal;
                Node* parent = m_Goal->parent;
                do {
                    parent->child = child;
                    child = parent;
                    parent = parent->parent;
                } while (child != m_Start);
            }
            for (Node* o : m_OpenList)
                if (!o->child) FreeNode(o);
            for (Node* c : m_ClosedList)
                if (!c->child) FreeNode(c);
            m_OpenList.clear();
            m_ClosedList.clear();
            m_State = Engine::SEARCH_STATE_SUCCEEDED;
            return m_State;
        }

        m_Successors.clear();
        if (!n->m_UserState.GetSuccessors(this, n->parent ? &n->parent->m_UserState : nullptr)) {
            for (Node* s : m_Successors) FreeNode(s);
            m_Successors.clear();
            FreeNode(n);
            FreeAllNodes();
            EndWithoutPath(Engine::SEARCH_STATE_OUT_OF_MEMORY);
            return m_State;
        }

        for (Node* s : m_Successors) {
            float newg = n->g + n->m_UserState.GetCost(s->m_UserState);

            typename std::vector<Node*>::iterator openlist_result = m_OpenList.begin();
            for (; openlist_result != m_OpenList.end(); ++openlist_result)
                if ((*openlist_result)->m_UserState.IsSameState(s->m_UserState)) break;
            if (openlist_result != m_OpenList.end() && (*openlist_result)->g <= newg) {
                FreeNode(s);
                continue;
            }

            typename std::vector<Node*>::iterator closedlist_result = m_ClosedList.begin();
            for (; closedlist_result != m_ClosedList.end(); ++closedlist_result)
                if ((*closedlist_result)->m_UserState.IsSameState(s->m_UserState)) break;
            if (closedlist_result != m_ClosedList.end() && (*closedlist_result)->g <= newg) {
                FreeNode(s);
                continue;
            }

            s->parent = n;
            s->g = newg;
            s->h = s->m_UserState.GoalDistanceEstimate(m_Goal->m_UserState);
            s->f = s->g + s->h;

            if (closedlist_result != m_ClosedList.end()) {
                FreeNode(*closedlist_result);
                m_ClosedList.erase(closedlist_result);
            }
            if (openlist_result != m_OpenList.end()) {
                FreeNode(*openlist_result);
                m_OpenList.erase(openlist_result);
                std::make_heap(m_OpenList.begin(), m_OpenList.end(), HeapCompare_f());
            }
            m_OpenList.push_back(s);
            std::push_heap(m_OpenList.begin(), m_OpenList.end(), HeapCompare_f());
        }
        m_ClosedList.push_back(n);
        return m_State;
    }

    bool AddSuccessor(const UserState& state) {
        Node* node = AllocateNode();
        if (!node) return false;
        node->m_UserState = state;
        m_Successors.push_back(node);
        return true;
    }

    void FreeAllNodes() {
        for (Node* n : m_OpenList) FreeNode(n);
        for (Node* n : m_ClosedList) FreeNode(n);
        m_OpenList.clear();
        m_ClosedList.clear();
    }

    void ReleaseNodes() {
        FreeAllNodes();
        if (m_State == Engine::SEARCH_STATE_SUCCEEDED) {
            bool goal_on_path = false;
            for (Node* n = m_Start; n;) {
                Node* next = n->child;
                goal_on_path |= n == m_Goal;
                FreeNode(n);
                n = next;
            }
            if (!goal_on_path) FreeNode(m_Goal);
        } else if (m_State == Engine::SEARCH_STATE_SEARCHING) {
            FreeNode(m_Goal);
        }
        m_Start = m_Goal = m_CurrentSolutionNode = nullptr;
        m_State = Engine::SEARCH_STATE_NOT_INITIALISED;
    }

    UserState* GetSolutionStart() {
        m_CurrentSolutionNode = m_Start;
        return m_Start ? &m_Start->m_UserState : nullptr;
    }

    UserState* GetSolutionNext() {
        if (!m_CurrentSolutionNode || !m_CurrentSolutionNode->child) return nullptr;
        m_CurrentSolutionNode = m_CurrentSolutionNode->child;
        return &m_CurrentSolutionNode->m_UserState;
    }

    int GetStepCount() const { return m_Steps; }
    unsigned int NodesInUse() const { return m_AllocateNodeCount - m_FreeNodeCount; }

    Node* AllocateNode() {
        Node* p = m_FixedSizeAllocator.alloc();
        if (!p) return nullptr;
        m_AllocateNodeCount++;
        return new (p) Node;
    }

    void FreeNode(Node* node) {
        if (!node) return;
        node->~Node();
        m_FixedSizeAllocator.free(node);
        m_FreeNodeCount++;
    }

private:
    void EndWithoutPath(unsigned int state) {
        FreeNode(m_Goal);
        m_Start = m_Goal = m_CurrentSolutionNode = nullptr;
        m_State = state;
    }
};

// Test ground for both searches: a w x h map whose layer-0 cells are blocked with the given
// chance in percent, from a seeded generator, so every run draws the same walls.
inline void make_wall_map(CMap& m, unsigned int w, unsigned int h, int wall_percent, unsigned int seed) {
    m.InitMap(w, h, 16, 16, 2);
    std::mt19937 rng(seed);
    for (unsigned int r = 0; r < h; ++r)
        for (unsigned int c = 0; c < w; ++c)
            if ((int)(rng() % 100) < wall_percent) m.tiles[0][r][c].flags = TF_BLOCKED;
}
