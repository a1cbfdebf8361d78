// Which of the two programs a shared dialog serves.
#pragma once

enum class ViewerProgram { Ostrel, Varnek };
