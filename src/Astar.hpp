// The battle's best-first path search engine: nodes from a fixed pool, a heap-ordered open list, the found path linked from start to goal.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

// Largest pool a search may have: the index numbers its nodes in 16 bits.
constexpr unsigned int ASTAR_MAX_POOL = 0x10000;

// Stops the program when the engine is used against its rules, in every build (a plain assert
// vanishes from release builds and the search would then run on garbage).
#define ASTAR_CHECK(cond)                                                                        \
    do {                                                                                         \
        if (!(cond)) {                                                                           \
            std::fprintf(stderr, "src/Astar.hpp:%d: Assertion `%s' failed.\n", __LINE__, #cond); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (0)

// A pool of a fixed number of T, carved from one block made at construction, so that taking and
// giving back an element never touches the general heap. Invariant: every element is on exactly
// one of the two lists, the free list or the used list; alloc() hands out raw storage.
template <class T>
class FixedSizeAllocator {
public:
    // One element: room for a T and the links of whichever list holds it.
    struct FSA_ELEMENT {
        alignas(T) unsigned char UserType[sizeof(T)];
        FSA_ELEMENT* pPrev;
        FSA_ELEMENT* pNext;
    };

    FSA_ELEMENT* m_pFirstFree = nullptr;  // head of the free list
    FSA_ELEMENT* m_pFirstUsed = nullptr;  // head of the used list
    unsigned int m_MaxElements = 0;       // capacity
    FSA_ELEMENT* m_pMemory = nullptr;     // the block holding every element

    // Makes n zeroed elements in one block and chains them all into the free list in address
    // order. Called by AStarSearch's constructor.
    explicit FixedSizeAllocator(unsigned int n) : m_MaxElements(n) {
        if (n == 0) return;
        m_pMemory = new FSA_ELEMENT[n]();
        for (unsigned int i = 0; i < n; ++i) {
            m_pMemory[i].pPrev = i > 0 ? &m_pMemory[i - 1] : nullptr;
            m_pMemory[i].pNext = i + 1 < n ? &m_pMemory[i + 1] : nullptr;
        }
        m_pFirstFree = m_pMemory;
    }
    ~FixedSizeAllocator() { delete[] m_pMemory; }
    FixedSizeAllocator(const FixedSizeAllocator&) = delete;
    FixedSizeAllocator& operator=(const FixedSizeAllocator&) = delete;

    // Storage for one T from the front of the free list, moved to the front of the used list;
    // null when the pool is dry. Called by AStarSearch::AllocateNode.
    T* alloc() {
        FSA_ELEMENT* e = m_pFirstFree;
        if (!e) return nullptr;
        m_pFirstFree = e->pNext;
        if (m_pFirstFree) m_pFirstFree->pPrev = nullptr;
        e->pPrev = nullptr;
        e->pNext = m_pFirstUsed;
        if (m_pFirstUsed) m_pFirstUsed->pPrev = e;
        m_pFirstUsed = e;
        return reinterpret_cast<T*>(e->UserType);
    }

    // Takes the element of p off the used list and puts it at the front of the free list.
    // Called by AStarSearch::FreeNode.
    void free(T* p) {
        if (!p) return;
        FSA_ELEMENT* e = reinterpret_cast<FSA_ELEMENT*>(p);
        if (e->pPrev)
            e->pPrev->pNext = e->pNext;
        else
            m_pFirstUsed = e->pNext;
        if (e->pNext) e->pNext->pPrev = e->pPrev;
        e->pPrev = nullptr;
        e->pNext = m_pFirstFree;
        if (m_pFirstFree) m_pFirstFree->pPrev = e;
        m_pFirstFree = e;
    }
};

// Best-first search over UserState, which provides GoalDistanceEstimate, IsGoal, GetSuccessors
// (calling AddSuccessor for each neighbour, never for its own state), GetCost, IsSameState and
// Hash (equal states alike; the index keeps its low bits, so states met together should differ
// there and lie close, which keeps the index in few cache lines).
//
// Every node comes from the search's own pool. While a search runs, each node is in the open
// list (a heap, smallest f in front) or the closed list, and no state is in both lists or twice
// in one: a successor either yields to the node already holding its state or replaces it. An
// index from state to that node stands in for scanning the lists, which yields the same node
// because there is only ever one. Between runs the search holds only the nodes of the path it
// found (m_Start to m_Goal), none after a failure.
template <class UserState>
class AStarSearch {
public:
    enum {
        SEARCH_STATE_NOT_INITIALISED,  // never set up (or every node given back)
        SEARCH_STATE_SEARCHING,        // set up, steps still to run
        SEARCH_STATE_SUCCEEDED,        // the path is linked through child from m_Start to m_Goal
        SEARCH_STATE_FAILED,           // no path, cancelled, or no node for the start or goal
        SEARCH_STATE_OUT_OF_MEMORY,    // successor generation reported failure
        SEARCH_STATE_INVALID           // upper bound only
    };

    // One search node. A new node has null links, zero costs and a default state.
    class Node {
    public:
        Node* parent = nullptr;  // the node it was reached from
        Node* child = nullptr;   // the next node along a found path
        float g = 0;             // cost so far
        float h = 0;             // estimate to the goal
        float f = 0;             // g + h
        UserState m_UserState;
    };

    // One entry of the open list: a copy of the node's f (which never changes while the node
    // is open), so that ordering the heap does not chase a pointer per comparison, and the
    // node's slot in the index, which names the node. Eight bytes, to keep the heap compact.
    struct OpenEntry {
        float f;
        unsigned int slot;
        // Built in place: a copy through a temporary stalls on the store it was just made from.
        OpenEntry(float key, unsigned int at) : f(key), slot(at) {}
    };

    // Heap order of the open list: the node with the smallest f comes to the front.
    struct HeapCompare_f {
        bool operator()(const Node* x, const Node* y) const { return x->f > y->f; }
        bool operator()(const OpenEntry& x, const OpenEntry& y) const { return x.f > y.f; }
    };

    std::vector<OpenEntry> m_OpenList;  // binary heap
    std::vector<Node*> m_ClosedList;  // unordered
    std::vector<Node*> m_Successors;  // filled by GetSuccessors during one step
    unsigned int m_State = SEARCH_STATE_NOT_INITIALISED;
    int m_Steps = 0;                             // expansions of the current run
    Node* m_Start = nullptr;
    Node* m_Goal = nullptr;
    Node* m_CurrentSolutionNode = nullptr;       // where the path's walker stands
    FixedSizeAllocator<Node> m_FixedSizeAllocator;
    unsigned int m_AllocateNodeCount = 0;        // nodes taken from the pool, ever
    unsigned int m_FreeNodeCount = 0;            // nodes given back, ever
    bool m_CancelRequest = false;                // the next step fails the search

    // A search whose pool holds max_nodes nodes (at most ASTAR_MAX_POOL). Everything a run needs
    // is reserved here, so planning never allocates. Made by the battle for each monster at
    // battle start.
    explicit AStarSearch(unsigned int max_nodes) : m_FixedSizeAllocator(max_nodes) {
        ASTAR_CHECK(max_nodes <= ASTAR_MAX_POOL);
        m_OpenList.reserve(max_nodes);
        m_ClosedList.reserve(max_nodes);
        m_Successors.reserve(max_nodes);
        unsigned int bits = 3;
        while ((1u << bits) < 4 * max_nodes && bits < 31) ++bits;  // at most a quarter full
        m_Index.assign((size_t)1 << bits, IndexSlot{});
        m_IndexMask = (1u << bits) - 1;
    }
    // Gives every node back; the pool then frees its block.
    ~AStarSearch() { ReleaseNodes(); }
    AStarSearch(const AStarSearch&) = delete;
    AStarSearch& operator=(const AStarSearch&) = delete;

    // Makes the next step fail the search. For a caller that gives up on a run under way.
    void CancelSearch() { m_CancelRequest = true; }

    // Starts a new run from start to goal, in any state. The nodes of the previous run (its
    // path above all) go back to the pool first, so re-planning never drains it; with no node
    // left for the start or the goal the run fails at once. Called before each planning.
    void SetStartAndGoalStates(const UserState& start, const UserState& goal) {
        ReleaseNodes();
        m_CancelRequest = false;
        m_Steps = 0;
        m_Start = AllocateNode();
        m_Goal = AllocateNode();
        if (!m_Start || !m_Goal) {
            // A pool too small for even these two: fail rather than search from a null node.
            FreeNode(m_Start);
            FreeNode(m_Goal);
            m_Start = m_Goal = nullptr;
            m_State = SEARCH_STATE_FAILED;
            return;
        }
        m_Start->m_UserState = start;
        m_Goal->m_UserState = goal;
        m_State = SEARCH_STATE_SEARCHING;
        m_Start->g = 0;
        m_Start->h = m_Start->m_UserState.GoalDistanceEstimate(m_Goal->m_UserState);
        m_Start->f = m_Start->g + m_Start->h;
        m_Start->parent = nullptr;
        m_OpenList.emplace_back(m_Start->f, IndexInsert(m_Start));
        std::push_heap(m_OpenList.begin(), m_OpenList.end(), HeapCompare_f());
    }

    // Expands the open node with the smallest f and returns the new state. Stepping a search
    // that was never set up stops the program. Called until the state is no longer SEARCHING.
    unsigned int SearchStep() {
        ASTAR_CHECK((m_State > SEARCH_STATE_NOT_INITIALISED) && (m_State < SEARCH_STATE_INVALID));
        if (m_State == SEARCH_STATE_SUCCEEDED || m_State == SEARCH_STATE_FAILED) return m_State;
        if (m_OpenList.empty() || m_CancelRequest) {
            FreeAllNodes();
            EndWithoutPath(SEARCH_STATE_FAILED);
            return m_State;
        }
        m_Steps++;
        unsigned int n_slot = m_OpenList.front().slot;
        Node* n = OpenNode(m_OpenList.front());
        std::pop_heap(m_OpenList.begin(), m_OpenList.end(), HeapCompare_f());
        m_OpenList.pop_back();

        if (n->m_UserState.IsGoal(m_Goal->m_UserState)) {
            m_Goal->parent = n->parent;
            if (n != m_Start) {
                FreeNode(n);  // the goal node takes its place on the path
                Node* child = m_Goal;
                Node* parent = m_Goal->parent;
                do {
                    parent->child = child;
                    child = parent;
                    parent = parent->parent;
                } while (child != m_Start);
            }
            FreeListsExceptPath();
            m_State = SEARCH_STATE_SUCCEEDED;
            return m_State;
        }

        m_Successors.clear();
        if (!n->m_UserState.GetSuccessors(this, n->parent ? &n->parent->m_UserState : nullptr)) {
            for (Node* s : m_Successors) FreeNode(s);
            m_Successors.clear();
            FreeNode(n);  // popped, so in neither list
            FreeAllNodes();
            EndWithoutPath(SEARCH_STATE_OUT_OF_MEMORY);
            return m_State;
        }

        for (Node* s : m_Successors) {
            float newg = n->g + n->m_UserState.GetCost(s->m_UserState);
            unsigned int at = IndexFind(s->m_UserState);
            IndexSlot* held = at != NO_SLOT ? &m_Index[at] : nullptr;
            if (held && NodeAt(held->node)->g <= newg) {
                FreeNode(s);
                continue;
            }
            s->parent = n;
            s->g = newg;
            s->h = s->m_UserState.GoalDistanceEstimate(m_Goal->m_UserState);
            s->f = s->g + s->h;
            if (held) {
                // A cheaper way to a state already held (only with costs that differ): the old
                // node goes, the successor takes its index entry.
                Node* old = NodeAt(held->node);
                FreeNode(old);
                if (held->mark & SLOT_OPEN) {
                    m_OpenList.erase(std::find_if(m_OpenList.begin(), m_OpenList.end(),
                                                  [at](const OpenEntry& e) { return e.slot == at; }));
                    std::make_heap(m_OpenList.begin(), m_OpenList.end(), HeapCompare_f());
                } else {
                    m_ClosedList.erase(std::find(m_ClosedList.begin(), m_ClosedList.end(), old));
                }
                held->node = NodeNumber(s);
                held->mark = (unsigned short)(m_IndexGen << 1 | SLOT_OPEN);
            } else {
                at = IndexInsert(s);
            }
            m_OpenList.emplace_back(s->f, at);
            std::push_heap(m_OpenList.begin(), m_OpenList.end(), HeapCompare_f());
        }
        m_ClosedList.push_back(n);
        m_Index[n_slot].mark &= (unsigned short)~SLOT_OPEN;
        return m_State;
    }

    // Takes a node from the pool for one neighbour; a neighbour with no node left is dropped.
    // Called by UserState::GetSuccessors.
    bool AddSuccessor(const UserState& state) {
        Node* node = AllocateNode();
        if (!node) return false;
        node->m_UserState = state;
        m_Successors.push_back(node);
        return true;
    }

    // Gives every node of the open and closed lists back and empties both.
    void FreeAllNodes() {
        for (const OpenEntry& e : m_OpenList) FreeNode(OpenNode(e));
        for (Node* n : m_ClosedList) FreeNode(n);
        m_OpenList.clear();
        m_ClosedList.clear();
        IndexClear();
    }

    // Gives back every node the search holds, the lists, the found path and the goal, and
    // returns it to SEARCH_STATE_NOT_INITIALISED. Called by SetStartAndGoalStates, the
    // destructor, and the battle for the search of a monster that died.
    void ReleaseNodes() {
        FreeAllNodes();
        if (m_State == SEARCH_STATE_SUCCEEDED) {
            // The path holds m_Start, its children and m_Goal, unless start and goal were one
            // cell: then the goal node hangs on its own.
            bool goal_on_path = false;
            for (Node* n = m_Start; n;) {
                Node* next = n->child;
                goal_on_path |= n == m_Goal;
                FreeNode(n);
                n = next;
            }
            if (!goal_on_path) FreeNode(m_Goal);
        } else if (m_State == SEARCH_STATE_SEARCHING) {
            FreeNode(m_Goal);  // the start was in the lists
        }
        m_Start = m_Goal = m_CurrentSolutionNode = nullptr;
        m_State = SEARCH_STATE_NOT_INITIALISED;
    }

    // Stands the walker on the start of the found path and returns its state; null when the
    // search holds no start (a failed search). Called once after each planning.
    UserState* GetSolutionStart() {
        m_CurrentSolutionNode = m_Start;
        return m_Start ? &m_Start->m_UserState : nullptr;
    }

    // Moves the walker one node along the path and returns its state; null at the path's end
    // or with no path, leaving the walker where it is. Called once per step of the monster.
    UserState* GetSolutionNext() {
        if (!m_CurrentSolutionNode || !m_CurrentSolutionNode->child) return nullptr;
        m_CurrentSolutionNode = m_CurrentSolutionNode->child;
        return &m_CurrentSolutionNode->m_UserState;
    }

    // Expansions of the current run.
    int GetStepCount() const { return m_Steps; }
    // Nodes out of the pool right now.
    unsigned int NodesInUse() const { return m_AllocateNodeCount - m_FreeNodeCount; }

    // A fresh node from the pool, or null when it is dry.
    Node* AllocateNode() {
        Node* p = m_FixedSizeAllocator.alloc();
        if (!p) return nullptr;
        m_AllocateNodeCount++;
        return new (p) Node;
    }

    // Gives a node back to the pool (null is ignored).
    void FreeNode(Node* node) {
        if (!node) return;
        node->~Node();
        m_FixedSizeAllocator.free(node);
        m_FreeNodeCount++;
    }

private:
    // One entry of the index: the pool number of the node holding a state in the current run,
    // and whether it is open. Four bytes, so the whole index of a battle search stays small
    // enough to be found in the cache.
    struct IndexSlot {
        unsigned short node = 0;
        unsigned short mark = 0;  // m_IndexGen << 1 | SLOT_OPEN; another generation is an empty slot
    };
    static constexpr unsigned short SLOT_OPEN = 1;
    static constexpr unsigned int NO_SLOT = ~0u;
    static constexpr unsigned int MAX_GENERATION = 0x7fff;
    std::vector<IndexSlot> m_Index;  // open addressing with linear probing, a power of two long
    unsigned int m_IndexMask = 0;
    unsigned int m_IndexGen = 1;     // moving on empties the whole index at once

    Node* NodeAt(unsigned int number) {
        return std::launder(reinterpret_cast<Node*>(m_FixedSizeAllocator.m_pMemory[number].UserType));
    }
    unsigned short NodeNumber(Node* node) const {
        using Element = typename FixedSizeAllocator<Node>::FSA_ELEMENT;
        return (unsigned short)(reinterpret_cast<Element*>(node) - m_FixedSizeAllocator.m_pMemory);
    }
    Node* OpenNode(const OpenEntry& e) { return NodeAt(m_Index[e.slot].node); }
    bool Taken(const IndexSlot& slot) const { return slot.mark >> 1 == m_IndexGen; }

    size_t IndexHome(const UserState& s) const { return s.Hash() & m_IndexMask; }

    // The slot of the node holding state s, or NO_SLOT.
    unsigned int IndexFind(const UserState& s) {
        for (size_t i = IndexHome(s);; i = (i + 1) & m_IndexMask) {
            const IndexSlot& slot = m_Index[i];
            if (!Taken(slot)) return NO_SLOT;
            if (NodeAt(slot.node)->m_UserState.IsSameState(s)) return (unsigned int)i;
        }
    }

    // Enters a node that is going on the open list and returns its slot. Entries leave only
    // all together.
    unsigned int IndexInsert(Node* node) {
        size_t i = IndexHome(node->m_UserState);
        while (Taken(m_Index[i])) i = (i + 1) & m_IndexMask;
        m_Index[i].node = NodeNumber(node);
        m_Index[i].mark = (unsigned short)(m_IndexGen << 1 | SLOT_OPEN);
        return (unsigned int)i;
    }

    void IndexClear() {
        if (++m_IndexGen > MAX_GENERATION) {  // wrapped: stale slots could look taken again
            for (IndexSlot& slot : m_Index) slot = IndexSlot{};
            m_IndexGen = 1;
        }
    }

    // After success: every listed node not on the path goes back and both lists empty.
    void FreeListsExceptPath() {
        for (const OpenEntry& e : m_OpenList)
            if (!OpenNode(e)->child) FreeNode(OpenNode(e));
        for (Node* n : m_ClosedList)
            if (!n->child) FreeNode(n);
        m_OpenList.clear();
        m_ClosedList.clear();
        IndexClear();
    }

    // After a failure, once the lists are given back: the goal goes too and the search holds
    // no start, so nobody reads a node that is back in the pool.
    void EndWithoutPath(unsigned int state) {
        FreeNode(m_Goal);
        m_Start = m_Goal = m_CurrentSolutionNode = nullptr;
        m_State = state;
    }
};
