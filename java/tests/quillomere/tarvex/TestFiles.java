package quillomere.tarvex;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.io.File;
import org.junit.jupiter.api.function.Executable;

/** The directory of files that write_test_files wrote, and helpers every test class uses. */
final class TestFiles {
    private TestFiles() {}

    /** The directory that the system property tesk.test.data names. */
    static String dir() {
        String dir = System.getProperty("tesk.test.data");
        if (dir == null || !new File(dir).isDirectory()) {
            throw new IllegalStateException("tesk.test.data does not name the test files' directory");
        }
        return dir;
    }

    /** Runs a call that must fail and checks the exception's message. */
    static void expectMessage(String message, Executable call) {
        Exception e = assertThrows(Exception.class, call);
        assertEquals(Exception.class, e.getClass());
        assertEquals(message, e.getMessage());
    }

    static TeskCELFile intensities(String name) {
        TeskCELFile cel = new TeskCELFile();
        cel.Name = name;
        cel.DataPath = dir();
        cel.LibPath = dir();
        return cel;
    }

    static TeskCDFFile layout() {
        TeskCDFFile cdf = new TeskCDFFile();
        cdf.ChipType = "TestChip";
        cdf.LibPath = dir();
        return cdf;
    }
}
