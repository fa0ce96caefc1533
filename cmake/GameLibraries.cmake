# The core (board model, generation and play) and the game controller above it (start-up, every
# command, the menu as data, input, the caption, the cell geometry and what to repaint). Both
# link nothing but the C++ standard library; the desktop build and the browser build include
# this one list.
set(kovelint_root ${CMAKE_CURRENT_LIST_DIR}/..)

add_library(kovelint_core STATIC
    ${kovelint_root}/board/GameState.cpp
    ${kovelint_root}/generator/Random.cpp
    ${kovelint_root}/generator/Walk.cpp
    ${kovelint_root}/generator/LayPipe.cpp
    ${kovelint_root}/generator/AddTee.cpp
    ${kovelint_root}/generator/GeneratePuzzle.cpp
    ${kovelint_root}/generator/ShuffleTiles.cpp
    ${kovelint_root}/play/Check.cpp
    ${kovelint_root}/play/Turn.cpp
    ${kovelint_root}/play/GameModel.cpp
)
target_include_directories(kovelint_core PUBLIC ${kovelint_root})
kovelint_warnings(kovelint_core)

add_library(kovelint_game STATIC
    ${kovelint_root}/game/GameController.cpp
    ${kovelint_root}/game/GameController.h
    ${kovelint_root}/game/Defaults.h
    ${kovelint_root}/game/Menu.cpp
    ${kovelint_root}/game/Menu.h
)
target_link_libraries(kovelint_game PUBLIC kovelint_core)
kovelint_warnings(kovelint_game)
