#pragma once

// Each file of this executable runs its own test class.
int runGridTests(int argc, char **argv);
int runLineChartTests(int argc, char **argv);
int runMonthCalendarTests(int argc, char **argv);
int runBackColorTests(int argc, char **argv);
