// Does nothing and ends with status 0. The Wine runner starts it before the program it was
// asked to run: now and then Wine ends at once, before starting anything, and a program
// that fails quickly looks just the same from outside. The probe's own status is known,
// so a start of it that does not end with 0 is Wine's failure, and may simply be tried
// again; the program itself is then started once.
int main()
{
    return 0;
}
