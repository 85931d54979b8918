#pragma once
// The commands of tavrik-cli that read, compare and edit settings files, and
// the ones that serve many scanners at once. Each takes the whole command line
// (argv[1] is the command), returns the exit status and throws CliUsageError
// for a wrong command line.

namespace tavrik {

int ShowCommand(int argc, char** argv);
int DiffCommand(int argc, char** argv);
int SetCommand(int argc, char** argv);

// A save, probe or search command line for many ports: --port given more than
// once, or --all.
bool ManyPorts(int argc, char** argv);
int SaveManyCommand(int argc, char** argv);
int ProbeManyCommand(int argc, char** argv);
int SearchManyCommand(int argc, char** argv);

}  // namespace tavrik
