// A plain solver for the 5 x 5 board, so that tests can finish a shuffled game with real key
// presses: it places the tiles a few at a time (the top three rows left to right, then the
// bottom two rows column by column), each step a breadth-first search over the places of
// those few tiles and the empty cell, with the tiles already placed left alone. Not shortest,
// but a few hundred moves at most. Also turns moves into an input script.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace solver
{

using Cells = std::array<int, 25>; // tile numbers, 25 for the empty cell

// Where the empty cell may go by d (+5 down, -5 up, +1 right, -1 left), as the board allows.
inline bool Allowed(int blank, int d)
{
    return (d == -5 && blank > 4) || (d == 5 && blank < 20) || (d == -1 && blank % 5 != 0) ||
           (d == 1 && blank % 5 != 4);
}

inline int BlankOf(const Cells& cells)
{
    for (int i = 0; i < 25; ++i)
    {
        if (cells[i] == 25)
        {
            return i;
        }
    }
    return -1;
}

// Moves the empty cell by d; false (and nothing changes) when the board does not allow it.
inline bool Apply(Cells& cells, int d)
{
    int blank = BlankOf(cells);
    if (blank < 0 || !Allowed(blank, d))
    {
        return false;
    }
    cells[blank] = cells[blank + d];
    cells[blank + d] = 25;
    return true;
}

// Places group tiles at their homes (tile v at v - 1) without touching locked cells.
// Appends the moves of the empty cell; false when no way exists.
inline bool PlaceGroup(Cells& cells, const std::vector<int>& group,
                       const std::array<bool, 25>& locked, std::vector<int>& moves)
{
    const int n = static_cast<int>(group.size()) + 1; // group tiles, then the empty cell
    auto encode = [&](const std::vector<int>& places) {
        int code = 0;
        for (int i = n - 1; i >= 0; --i)
        {
            code = code * 25 + places[i];
        }
        return code;
    };
    auto decode = [&](int code) {
        std::vector<int> places(n);
        for (int i = 0; i < n; ++i)
        {
            places[i] = code % 25;
            code /= 25;
        }
        return places;
    };
    std::vector<int> start(n);
    for (int i = 0; i < n - 1; ++i)
    {
        for (int p = 0; p < 25; ++p)
        {
            if (cells[p] == group[i])
            {
                start[i] = p;
            }
        }
    }
    start[n - 1] = BlankOf(cells);

    int states = 1;
    for (int i = 0; i < n; ++i)
    {
        states *= 25;
    }
    std::vector<std::int32_t> from(states, -1);
    std::vector<std::int8_t> how(states, 0);
    std::vector<int> queue;
    int first = encode(start);
    from[first] = first;
    queue.push_back(first);
    static constexpr int kSteps[4] = {5, -5, 1, -1};
    int goal = -1;
    for (size_t head = 0; head < queue.size() && goal < 0; ++head)
    {
        std::vector<int> places = decode(queue[head]);
        bool home = true;
        for (int i = 0; i < n - 1; ++i)
        {
            home = home && places[i] == group[i] - 1;
        }
        if (home)
        {
            goal = queue[head];
            break;
        }
        int blank = places[n - 1];
        for (int d : kSteps)
        {
            if (!Allowed(blank, d) || locked[blank + d])
            {
                continue;
            }
            std::vector<int> next = places;
            next[n - 1] = blank + d;
            for (int i = 0; i < n - 1; ++i)
            {
                if (next[i] == blank + d)
                {
                    next[i] = blank;
                }
            }
            int code = encode(next);
            if (from[code] < 0)
            {
                from[code] = queue[head];
                how[code] = static_cast<std::int8_t>(d);
                queue.push_back(code);
            }
        }
    }
    if (goal < 0)
    {
        return false;
    }
    std::vector<int> path;
    for (int code = goal; code != first; code = from[code])
    {
        path.push_back(how[code]);
    }
    for (auto it = path.rbegin(); it != path.rend(); ++it)
    {
        Apply(cells, *it);
        moves.push_back(*it);
    }
    return true;
}

// Moves of the empty cell (the game's pendingDirection values) that solve the board; empty
// when it is solved already or cannot be solved.
inline std::vector<int> Solve(Cells cells)
{
    static const std::vector<std::vector<int>> kGroups = {
        {1}, {2}, {3}, {4, 5}, {6}, {7}, {8}, {9, 10}, {11}, {12}, {13}, {14, 15},
        {16, 21}, {17, 22}, {18, 23}, {19, 20, 24},
    };
    std::array<bool, 25> locked{};
    std::vector<int> moves;
    for (const std::vector<int>& group : kGroups)
    {
        if (!PlaceGroup(cells, group, locked, moves))
        {
            return {};
        }
        for (int v : group)
        {
            locked[v - 1] = true;
        }
    }
    return moves;
}

// The key that makes a move: up moves the empty cell down (+5), and so on.
inline const char* KeyFor(int d)
{
    switch (d)
    {
    case 5: return "Up";
    case -5: return "Down";
    case 1: return "Left";
    default: return "Right";
    }
}

// Script lines that press the key of each move in turn, starting at frame start while the
// game is in play. Each press is down for two frames, then the next starts a frame after the
// release. A key pressed again right after its release is held at once and moves on that
// frame; any other key moves on its second frame. triggers gets the frame of each move's
// input; the move itself shows on the frame after.
inline std::string MoveScript(const std::vector<int>& moves, int start, std::vector<int>* triggers)
{
    std::string script;
    int frame = start;
    for (size_t i = 0; i < moves.size(); ++i)
    {
        const char* key = KeyFor(moves[i]);
        script += std::to_string(frame) + " key " + key + " down\n";
        script += std::to_string(frame + 2) + " key " + key + " up\n";
        bool again = i > 0 && moves[i - 1] == moves[i];
        if (triggers != nullptr)
        {
            triggers->push_back(again ? frame : frame + 1);
        }
        frame += 3;
    }
    return script;
}

} // namespace solver
