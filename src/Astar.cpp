// The battle's path search on the current map: cell costs, neighbours, the estimate and one monster's planned path.
#include "Astar.h"

#include <cstdio>

#include "CMap.h"
#include "Grid.h"

int GetMap(int x, int y) {
    // Cells left of or above the map would turn into huge pixel positions below.
    if (x < 0 || y < 0 || (unsigned int)x >= map.width || (unsigned int)y >= map.height) return ASTAR_BLOCKED;
    return map.Collision((unsigned int)x * CELL, (unsigned int)y * CELL) ? ASTAR_BLOCKED : 0;
}

float MapSearchNode::GoalDistanceEstimate(const MapSearchNode& goal) const {
    double dx = (double)x - goal.x;
    double dy = (double)y - goal.y;
    return (float)(dx * dx + dy * dy);
}

bool MapSearchNode::IsGoal(const MapSearchNode& goal) const { return IsSameState(goal); }

bool MapSearchNode::IsSameState(const MapSearchNode& rhs) const { return x == rhs.x && y == rhs.y; }

float MapSearchNode::GetCost(const MapSearchNode&) const { return (float)(cost >= 0 ? cost : GetMap(x, y)); }

int MapSearchNode::Neighbours(const MapSearchNode* parent, MapSearchNode out[4]) const {
    int px = parent ? parent->x : -1;
    int py = parent ? parent->y : -1;
    static const int step[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};  // left, up, right, down
    int n = 0;
    for (const auto& d : step) {
        int nx = x + d[0], ny = y + d[1];
        if (nx == px && ny == py) continue;  // before the map read, which it makes needless
        int leave = GetMap(nx, ny);
        if (leave < ASTAR_BLOCKED) out[n++] = MapSearchNode(nx, ny, leave);
    }
    return n;
}

void MapSearchNode::PrintNodeInfo() const { std::printf("Node position : (%d,%d)\n", x, y); }

CMonsterPath::CMonsterPath(unsigned int pool) : m_Search(new AStarSearch<MapSearchNode>(pool)) {}

unsigned int CMonsterPath::Plan(int sx, int sy, int gx, int gy) {
    m_Search->SetStartAndGoalStates(MapSearchNode(sx, sy), MapSearchNode(gx, gy));
    unsigned int state = m_Search->m_State;
    while (state == AStarSearch<MapSearchNode>::SEARCH_STATE_SEARCHING) state = m_Search->SearchStep();
    m_Search->GetSolutionStart();
    return state;
}

const MapSearchNode* CMonsterPath::Next() { return m_Search->GetSolutionNext(); }

void CMonsterPath::Clear() { m_Search->ReleaseNodes(); }
