package quillomere.tarvex;

/**
 * A name and its value: an algorithm parameter, a chip summary entry or a tiling-file parameter.
 */
public class TeskParameterValueClass {
    /** Param: Filled by the native methods. */
    public String Param;
    /** Value: Filled by the native methods. */
    public String Value;
}
