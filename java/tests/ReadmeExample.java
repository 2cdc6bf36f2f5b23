// Prints the size of sample.CEL in a directory (default build/sample) and its first probes,
// through the Java classes. The README shows this program.
import quillomere.tarvex.TeskCELFile;
import quillomere.tarvex.TeskProbe;

public class ReadmeExample {
    public static void main(String[] args) throws Exception {
        String dir = args.length > 0 ? args[0] : "build/sample";
        try (TeskCELFile cel = new TeskCELFile()) {
            cel.Name = "sample.CEL";
            cel.DataPath = dir;
            cel.LibPath = dir;
            cel.Read();  // throws "COM Error - Read: Failure in ITeskCELFile-Read: ..."
            System.out.println(cel.Cols + " x " + cel.Rows + " cells");
            for (int i = 0; i < 5; ++i) {
                TeskProbe probe = cel.GetProbeByIndex(i);
                System.out.printf("probe %d at (%d, %d): %.1f%n", i, probe.PosX, probe.PosY, probe.Intensity);
            }
        }
    }
}
