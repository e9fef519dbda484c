#include <iostream>
int main() { std::cout << "corvanty\n"; }
